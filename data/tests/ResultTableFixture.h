// The result table of the main window as the tests build it: KM with its persistent fields.
// Tests of the layers above (the grid) build theirs with it too, with a table class of their
// own when they need one.
#pragma once

#include "data/Field.h"
#include "data/MemTable.h"

#include <QObject>

#include <memory>
#include <optional>

template <typename Table = TMemTable>
struct BasicResultTableFixture {
    std::unique_ptr<QObject> owner = std::make_unique<QObject>();
    Table *KM = nullptr;
    TIntegerField *KMID = nullptr;
    TStringField *KMBZ = nullptr;
    TBooleanField *KMDEL = nullptr;
    TStringField *KMBSTN = nullptr;
    TBooleanField *KMHASBOOKS = nullptr;

    BasicResultTableFixture() {
        KM = new Table(owner.get());
        KM->setObjectName(QStringLiteral("KM"));
        KMID = field<TIntegerField>("KMID", "ID");
        KMBZ = field<TStringField>("KMBZ", "BZ", 100);
        KMDEL = field<TBooleanField>("KMDEL", "DEL");
        KMBSTN = field<TStringField>("KMBSTN", "BSTN", 50);
        KMHASBOOKS = field<TBooleanField>("KMHASBOOKS", "HASBOOKS");
        KM->Open();
    }

    template <typename F>
    F *field(const char *name, const char *fieldName, int size = 0) {
        auto *f = new F(owner.get());
        f->setObjectName(QString::fromLatin1(name));
        f->SetFieldName(QString::fromLatin1(fieldName));
        if (size > 0)
            f->SetSize(size);
        f->SetDataSet(KM);
        return f;
    }

    void add(int id, const QString &bz, const QString &bstn,
             std::optional<bool> hasBooks = std::nullopt) {
        KM->Append();
        KMID->SetAsInteger(id);
        KMBZ->SetAsString(bz);
        KMBSTN->SetAsString(bstn);
        if (hasBooks)
            KMHASBOOKS->SetAsBoolean(*hasBooks);
        KM->Post();
    }

    QList<int> ids() {
        QList<int> out;
        for (KM->First(); !KM->Eof(); KM->Next())
            out << KMID->AsInteger();
        return out;
    }
};

using ResultTableFixture = BasicResultTableFixture<>;
