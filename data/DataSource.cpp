#include "data/DataSource.h"

#include "data/DataSet.h"

TDataLink::~TDataLink() {
    if (m_dataSource)
        m_dataSource->RemoveLink(this);
}

void TDataLink::SetDataSource(TDataSource *source) {
    if (source == m_dataSource)
        return;
    if (m_dataSource)
        m_dataSource->RemoveLink(this);
    m_dataSource = source;
    if (source)
        source->AddLink(this);
}

TDataSet *TDataLink::DataSet() const {
    return m_dataSource ? m_dataSource->DataSet() : nullptr;
}

TDataSource::TDataSource(QObject *owner) : QObject(owner) {}

TDataSource::~TDataSource() {
    if (m_dataSet)
        m_dataSet->RemoveDataSource(this);
    for (TDataLink *link : std::as_const(m_links))
        link->m_dataSource = nullptr;
}

void TDataSource::SetDataSet(TDataSet *dataSet) {
    if (dataSet == m_dataSet)
        return;
    if (m_dataSet)
        m_dataSet->RemoveDataSource(this);
    m_dataSet = dataSet;
    if (dataSet)
        dataSet->AddDataSource(this);
    Notify(int(TDataEvent::StateChanged), nullptr);
    Notify(int(TDataEvent::DataSetChanged), nullptr);
}

void TDataSource::AddLink(TDataLink *link) {
    if (!m_links.contains(link))
        m_links.append(link);
}

void TDataSource::RemoveLink(TDataLink *link) {
    m_links.removeAll(link);
}

void TDataSource::Notify(int event, TField *field) {
    // A link may detach itself (or others) while it is told.
    const QList<TDataLink *> links = m_links;
    for (TDataLink *link : links) {
        if (!m_links.contains(link))
            continue;
        switch (TDataEvent(event)) {
        case TDataEvent::DataSetChanged:
            link->DataSetChanged();
            break;
        case TDataEvent::RecordChanged:
            link->RecordChanged(field);
            break;
        case TDataEvent::StateChanged:
            link->StateChanged();
            break;
        case TDataEvent::Scrolled:
            link->DataSetScrolled();
            break;
        }
    }
    switch (TDataEvent(event)) {
    case TDataEvent::StateChanged:
        if (OnStateChange)
            OnStateChange(this);
        break;
    case TDataEvent::RecordChanged:
        if (OnDataChange)
            OnDataChange(this, field);
        break;
    case TDataEvent::DataSetChanged:
    case TDataEvent::Scrolled:
        if (OnDataChange)
            OnDataChange(this, nullptr);
        break;
    }
}
