#pragma once

#include "DateText.h"
#include "MessageService.h"
#include "SqlValues.h"
#include "TestDatabase.h"
#include "UBDEndomira.h"
#include "UDataModule1.h"

#include <QSqlQuery>
#include <QVariant>
#include <gtest/gtest.h>
#include <memory>

namespace endomira::test {

// A fresh database per test, the data module connected to it with its transaction started, one
// access object and a recorder of every message box.
class TDbFixture : public ::testing::Test {
protected:
    explicit TDbFixture(TSchemaVersion version = TSchemaVersion::Current) : Database_(version) {
        DM_.ConnectDatabase(Database_.Path());
        DM_.StartTransaction();
        DM_.SetProgramFolder(Database_.Folder() + QStringLiteral("/program"));
    }

    // One value read through the data module's own transaction.
    QVariant Scalar(const QString& sql, const QVariantMap& params = {}) {
        QSqlQuery query = DM_.Execute({sql}, params);
        return TDataModule1::Next(query) ? query.value(0) : QVariant();
    }
    int Count(const QString& table) {
        return Scalar(QStringLiteral("select count(*) from ") + table).toInt();
    }
    QStringList Texts() const {
        QStringList texts;
        for (const TMessage& message : Messages_.Shown()) {
            texts << message.Text;
        }
        return texts;
    }

    TTestDatabase Database_;
    TMessageRecorder Messages_;
    TDataModule1 DM_;
    TBDEndomira DB_{DM_};
};

// A patient that passes every check.
inline TPaciente SomePatient(const QString& prontuario, const QString& nome) {
    TPaciente p;
    p.Prontuario = prontuario;
    p.Nome = nome;
    p.Sexo = QStringLiteral("F");
    p.Nascimento = QStringLiteral("14/03/1950");
    return p;
}

inline TMedico SomeDoctor(const QString& crm, const QString& nome) {
    TMedico d;
    d.Nome = nome;
    d.Sexo = QStringLiteral("M");
    d.CRM = crm;
    return d;
}

} // namespace endomira::test
