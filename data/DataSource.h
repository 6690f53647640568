// The bridge between a data set and the controls that show it. A control (grid, label) keeps a
// TDataLink on a TDataSource and is told when the data set changes. While the data set's
// controls are disabled the links hear nothing; when EnableControls brings the count back to
// 0 each link is told once: StateChanged first when the state differs from the one at
// DisableControls, then DataSetChanged (which covers everything else that happened).
#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

#include <functional>

class TDataSet;
class TDataSource;
class TField;

class TDataLink {
public:
    TDataLink() = default;
    TDataLink(const TDataLink &) = delete;
    TDataLink &operator=(const TDataLink &) = delete;
    virtual ~TDataLink();

    TDataSource *DataSource() const { return m_dataSource; }
    void SetDataSource(TDataSource *source);
    // The data source's data set, or nullptr.
    TDataSet *DataSet() const;

    // Anything may have changed (records added, removed, refilled, the data set opened):
    // show everything afresh.
    virtual void DataSetChanged() {}
    // Values of the current record changed; field is the one assigned, or nullptr for all.
    virtual void RecordChanged(TField *field) { (void)field; }
    // The data set's state changed (opened, closed, edit, insert, browse).
    virtual void StateChanged() {}
    // Another record became current.
    virtual void DataSetScrolled() {}

private:
    friend class TDataSource;
    QPointer<TDataSource> m_dataSource;
};

class TDataSource : public QObject {
    Q_OBJECT
public:
    explicit TDataSource(QObject *owner = nullptr);
    ~TDataSource() override;

    TDataSet *DataSet() const { return m_dataSet; }
    void SetDataSet(TDataSet *dataSet);
    const QList<TDataLink *> &Links() const { return m_links; }

    // Sender and the field that changed (nullptr: the record or more).
    std::function<void(TDataSource *sender, TField *field)> OnDataChange;
    std::function<void(TDataSource *sender)> OnStateChange;

private:
    friend class TDataLink;
    friend class TDataSet;
    void AddLink(TDataLink *link);
    void RemoveLink(TDataLink *link);
    void Notify(int event, TField *field);
    void DataSetGone() { m_dataSet = nullptr; }

    QPointer<TDataSet> m_dataSet;
    QList<TDataLink *> m_links;
};
