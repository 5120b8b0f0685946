#include "UBDEndomira.h"

#include "Clock.h"
#include "DBError.h"
#include "DateText.h"
#include "MessageService.h"
#include "RealText.h"
#include "Schema.h"
#include "SqlValues.h"
#include "Win1252Text.h"

#include <QDate>
#include <QDir>
#include <QTime>

namespace endomira {

namespace {

constexpr int kMaxMessage = 150;
constexpr int kMaxNameWords = 256;

using TList = TDataModule1::TList;

void ShowError(const QString& text) {
    ShowMessageDlg(text, TMsgKind::Error, mbOK);
}

// A text bound to an INTEGER column would be turned into 0 by the driver when it is not a
// number: it is converted here, and refused in the server's own words.
int RecordNumber(const QString& text) {
    const std::optional<int> number = TryTextToInt(text);
    if (!number) {
        throw TDBError(QStringLiteral("conversion error from string \"%1\"").arg(text));
    }
    return *number;
}

std::optional<QDate> DateIfValid(const QString& text) {
    return TBDEndomira::IsValidDate(text) ? TextToDate(text) : std::nullopt;
}

// A date text the driver cannot read would be stored as 17/11/1858: it is converted here, and a
// text that is no date is refused with a message the error translation recognises.
QDate BirthDate(const QString& text) {
    const std::optional<QDate> date = DateIfValid(text);
    if (!date) {
        throw TDBError(
            QStringLiteral("conversion error from string \"%1\" - not a valid date").arg(text));
    }
    return *date;
}

QString SortColumnOrThrow(const QStringList& columns, const QString& name) {
    const QString column = FindColumn(columns, name);
    if (column.isEmpty()) {
        throw TDBError(QStringLiteral("Coluna de ordenação desconhecida: \"%1\"").arg(name));
    }
    return column;
}

} // namespace

TBDEndomira::TBDEndomira(TDataModule1& dataModule) : DM_(dataModule) {}

// ---------------------------------------------------------------------------------------------
// Schema version and errors

QString TBDEndomira::GetDBVersion() {
    QSqlQuery query = DM_.Execute({QStringLiteral("select * from DB_INFO")});
    return TDataModule1::Next(query) ? ColumnText(query, QStringLiteral("DB_VERSION")) : QString();
}

void TBDEndomira::CheckDBUpgrade() {
    if (GetDBVersion() != kLegacyDBVersion) {
        return;
    }
    // A failing step ends the upgrade without a word: once the constraint is gone the first
    // statement fails at every later opening. A server that refuses to write its system tables
    // refuses the second step, which leaves PAC_CPF required; an empty CPF is stored as an
    // empty text, which several patients may then share.
    try {
        AlterPatientTable();
    } catch (const TDBError&) {
    }
}

void TBDEndomira::AlterPatientTable() {
    DM_.Execute({QStringLiteral("alter table paciente Drop Constraint INTEG_6")});
    DM_.Execute({QStringLiteral("update RDB$RELATION_FIELDS "), QStringLiteral("set "),
                 QStringLiteral("RDB$NULL_FLAG = 0 "),
                 QStringLiteral("where RDB$FIELD_NAME = 'PAC_CPF' and "),
                 QStringLiteral("RDB$RELATION_NAME = 'PACIENTE'")});
    DM_.Commit();
}

QString TBDEndomira::DBErrorText(int kind, const QString& message) {
    const QString cut = message.left(kMaxMessage);
    const bool duplicate = message.contains(QStringLiteral("violation of PRIMARY"));
    auto digitAfterUnderscore = [&]() {
        const qsizetype underscore = message.indexOf(u'_');
        if (underscore < 0 || underscore + 1 >= message.size()) {
            return 0;
        }
        const QChar c = message[underscore + 1];
        return c >= u'0' && c <= u'9' ? c.unicode() - u'0' : 0;
    };
    if (kind == 1 && duplicate) {
        switch (digitAfterUnderscore()) {
        case 3:
            return QStringLiteral(
                "ERRO! PRONTUÁRIO DUPLICADO!\n\nNão é Possível Cadastrar Prontuário Duplicado!");
        case 6:
            return QStringLiteral(
                "ERRO! CPF DUPLICADO!\n\nNão é Possível Cadastrar CPF Duplicado!");
        default:
            return QStringLiteral("ERRO Inesperado!\n") + cut;
        }
    }
    if (kind == 1 && message.contains(QStringLiteral("valid date"))) {
        return QStringLiteral("Data de Nascimento inválida!");
    }
    if (kind == 2 && duplicate) {
        if (digitAfterUnderscore() == 8) {
            return QStringLiteral("ERRO! CRM DUPLICADO!\n\nNão é Possível Cadastrar !");
        }
        return QStringLiteral("ERRO Inesperado!\n") + cut;
    }
    return cut;
}

void TBDEndomira::ShowDBError(int kind, const QString& message) {
    ShowError(DBErrorText(kind, message));
}

// ---------------------------------------------------------------------------------------------
// Checks and normalisations

bool TBDEndomira::IsValidCPF(const QString& text) {
    if (text.trimmed().size() != 11 || text.size() < 11) {
        return false;
    }
    // The digits are read from the text as typed, position by position.
    auto digit = [&](int i) {
        const QChar c = text[i];
        return c >= u'0' && c <= u'9' ? c.unicode() - u'0' : 0;
    };
    int s1 = 0;
    int sum = 0;
    for (int i = 0; i < 9; ++i) {
        s1 += (10 - i) * digit(i);
        sum += digit(i);
    }
    const int r1 = s1 % 11;
    const int check1 = r1 < 2 ? 0 : 11 - r1;
    const int s2 = s1 + sum + 2 * check1;
    const int r2 = s2 % 11;
    const int check2 = r2 < 2 ? 0 : 11 - r2;
    return text[9] == QChar(u'0' + check1) && text[10] == QChar(u'0' + check2);
}

bool TBDEndomira::IsValidDate(const QString& text) {
    if (text.size() != 10) {
        return false;
    }
    auto isDigit = [&](int i) { return text[i] >= u'0' && text[i] <= u'9'; };
    if (!(text[0] >= u'0' && text[0] <= u'3') || !isDigit(1) || text[2] != u'/' ||
        !(text[3] >= u'0' && text[3] <= u'1') || !isDigit(4) || text[5] != u'/' || !isDigit(6) ||
        !isDigit(7) || !isDigit(8) || !isDigit(9)) {
        return false;
    }
    const int day = text.mid(0, 2).toInt();
    const int month = text.mid(3, 2).toInt();
    const int year = text.mid(6, 4).toInt();
    return year >= 1 && year <= 9999 && QDate::isValid(year, month, day);
}

QString TBDEndomira::ProperCaseName(const QString& text) {
    QString result = Win1252LowerText(text);
    for (qsizetype i = 0; i < result.size(); ++i) {
        if (i == 0 || result[i - 1] == u' ') {
            result[i] = Win1252Upper(result[i]);
        }
    }
    // The particles do, da, de, dos and das stay lower-case after the first word.
    static const QString kParticles[] = {QStringLiteral("Do "), QStringLiteral("Da "),
                                         QStringLiteral("De "), QStringLiteral("Dos"),
                                         QStringLiteral("Das")};
    for (qsizetype i = 1; i + 3 <= result.size(); ++i) {
        const QStringView three = QStringView(result).mid(i, 3);
        for (const QString& particle : kParticles) {
            if (three == particle) {
                result[i] = u'd';
                break;
            }
        }
    }
    return result;
}

bool TBDEndomira::IsValidEmail(const QString& trimmedEmail) {
    if (trimmedEmail.isEmpty()) {
        return true;
    }
    return trimmedEmail.contains(u'@') && trimmedEmail.contains(u'.') &&
           !trimmedEmail.contains(u' ');
}

// ---------------------------------------------------------------------------------------------
// Patients

bool TBDEndomira::SavePatient(TPaciente& p) {
    QString lines;
    int failures = 0;
    auto fail = [&](const QString& message) {
        ++failures;
        lines += QStringLiteral("%1").arg(failures, 2, 10, QLatin1Char('0')) + message + u'\n';
    };
    p.Prontuario = p.Prontuario.trimmed();
    if (p.Prontuario.isEmpty()) {
        fail(QStringLiteral(" - Número de Prontuário Inválido!"));
    }
    p.Nome = p.Nome.trimmed();
    if (p.Nome.isEmpty()) {
        fail(QStringLiteral(" - Nome de Paciente Inválido!"));
    }
    if (!p.CPF.isEmpty() && !IsValidCPF(p.CPF)) {
        fail(QStringLiteral(" - Número de CPF Inválido!"));
    }
    if (p.Orgao.size() > 6) {
        fail(QStringLiteral(" - Orgão Expeditor deve ter no máximo 6 caracteres!"));
    }
    p.Email = p.Email.trimmed();
    if (!IsValidEmail(p.Email)) {
        fail(QStringLiteral(" - Email Inválido!"));
    }
    if (failures > 0) {
        ShowError(QStringLiteral("ERRO! DADO(S) INVÁLIDO(S)!\n\n") + lines);
        return false;
    }

    p.Nome = ProperCaseName(p.Nome);
    p.Prof = ProperCaseName(p.Prof);
    p.Natural = ProperCaseName(p.Natural);
    p.Pai = ProperCaseName(p.Pai);
    p.Mae = ProperCaseName(p.Mae);
    p.Logradouro = ProperCaseName(p.Logradouro);
    p.Complemento = ProperCaseName(p.Complemento);
    p.Bairro = ProperCaseName(p.Bairro);
    p.Cidade = ProperCaseName(p.Cidade);
    p.Email = Win1252LowerText(p.Email);

    try {
        QVariantMap params{
            {QStringLiteral("prontuario"), RecordNumber(p.Prontuario)},
            {QStringLiteral("nome"), BindText(p.Nome)},
            {QStringLiteral("sexo"), BindText(p.Sexo)},
            {QStringLiteral("prof"), BindText(p.Prof)},
            {QStringLiteral("civil"), BindText(p.Civil)},
            {QStringLiteral("sangue"), BindText(p.Sangue)},
            {QStringLiteral("cpf"), BindText(p.CPF)},
            {QStringLiteral("rg"), BindText(p.RG)},
            {QStringLiteral("orgao"), BindText(p.Orgao)},
            {QStringLiteral("nascimento"), BirthDate(p.Nascimento)},
            {QStringLiteral("pai"), BindText(p.Pai)},
            {QStringLiteral("mae"), BindText(p.Mae)},
            {QStringLiteral("natural"), BindText(p.Natural)},
            {QStringLiteral("nat_uf"), BindText(p.NatUF)},
            {QStringLiteral("logradouro"), BindText(p.Logradouro)},
            {QStringLiteral("complemento"), BindText(p.Complemento)},
            {QStringLiteral("bairro"), BindText(p.Bairro)},
            {QStringLiteral("cidade"), BindText(p.Cidade)},
            {QStringLiteral("uf"), BindText(p.UF)},
            {QStringLiteral("cep"), BindText(p.CEP)},
            {QStringLiteral("fone1"), BindText(p.Fone1)},
            {QStringLiteral("fone2"), BindText(p.Fone2)},
            {QStringLiteral("fone3"), BindText(p.Fone3)},
            {QStringLiteral("email"), BindText(p.Email)},
            {QStringLiteral("observacoes"), BindText(p.Observacoes)},
        };
        if (p.Id == -1) {
            // The new id is read from the inserted row itself: a CPF may be empty or shared.
            QSqlQuery query = DM_.Execute(
                {QStringLiteral("Insert into paciente"),
                 QStringLiteral(
                     "(Pac_Prontuario, Pac_Nome, Pac_Sexo, Pac_Prof, Pac_Civil, Pac_Sangue, "
                     "Pac_CPF, Pac_RG, Pac_ORGAO, Pac_Nascimento, Pac_Pai, Pac_Mae, Pac_Natural, "
                     "Pac_Nat_UF, Pac_Logradouro, Pac_Complemento, Pac_Bairro, Pac_Cidade, "
                     "Pac_UF, Pac_CEP, Pac_Fone1, Pac_Fone2, Pac_Fone3, Pac_Email, "
                     "Pac_Observacoes)"),
                 QStringLiteral(
                     "values (:prontuario, :nome, :sexo, :prof, :civil, :sangue, :cpf, :rg, "
                     ":orgao, :nascimento, :pai, :mae, :natural, :nat_uf, :logradouro, "
                     ":complemento, :bairro, :cidade, :uf, :cep, :fone1, :fone2, :fone3, "
                     ":email, :observacoes)"),
                 QStringLiteral("returning PAC_ID")},
                params);
            if (!TDataModule1::Next(query)) {
                throw TDBError(QStringLiteral("O paciente inserido não retornou seu código."));
            }
            p.Id = query.value(0).toInt();
        } else {
            params.insert(QStringLiteral("id"), p.Id);
            const QSqlQuery update = DM_.Execute({QStringLiteral("Update paciente set "),
                                                  QStringLiteral(" Pac_Prontuario=:prontuario,"),
                                                  QStringLiteral(" Pac_Nome=:nome,"),
                                                  QStringLiteral(" Pac_Sexo=:sexo,"),
                                                  QStringLiteral(" Pac_Prof=:prof, "),
                                                  QStringLiteral(" Pac_Civil=:civil,"),
                                                  QStringLiteral(" Pac_Sangue=:sangue,"),
                                                  QStringLiteral(" Pac_CPF=:cpf,"),
                                                  QStringLiteral(" Pac_RG=:rg,"),
                                                  QStringLiteral(" Pac_ORGAO=:orgao,"),
                                                  QStringLiteral(" Pac_Nascimento=:nascimento,"),
                                                  QStringLiteral(" Pac_Pai=:pai,"),
                                                  QStringLiteral(" Pac_Mae=:mae,"),
                                                  QStringLiteral(" Pac_Natural=:natural,"),
                                                  QStringLiteral(" Pac_Nat_UF=:nat_uf,"),
                                                  QStringLiteral(" Pac_Logradouro=:logradouro,"),
                                                  QStringLiteral(" Pac_Complemento=:complemento,"),
                                                  QStringLiteral(" Pac_Bairro=:bairro,"),
                                                  QStringLiteral(" Pac_Cidade=:cidade,"),
                                                  QStringLiteral(" Pac_UF=:uf,"),
                                                  QStringLiteral(" Pac_CEP=:cep,"),
                                                  QStringLiteral(" Pac_Fone1=:fone1,"),
                                                  QStringLiteral(" Pac_Fone2=:fone2,"),
                                                  QStringLiteral(" Pac_Fone3=:fone3,"),
                                                  QStringLiteral(" Pac_Email=:email,"),
                                                  QStringLiteral(" Pac_Observacoes=:observacoes"),
                                                  QStringLiteral(" where PAC_ID=:id")},
                                                 params);
            // A patient that is no longer there is not reported as saved.
            if (update.numRowsAffected() == 0) {
                throw TDBError(QStringLiteral("ID não Encontrado!"));
            }
        }
    } catch (const TDBError& error) {
        ShowDBError(1, error.Message());
        return false;
    }
    return true;
}

bool TBDEndomira::DeactivatePatient(int id) {
    try {
        const QVariantMap params{{QStringLiteral("id"), id}};
        QSqlQuery query =
            DM_.Execute({QStringLiteral("select * from paciente where PAC_ID=:id")}, params);
        if (!TDataModule1::Next(query)) {
            ShowError(QStringLiteral("ID não Encontrado!"));
            return false;
        }
        if (ColumnInt(query, QStringLiteral("PAC_STATUS")) == 1) {
            DM_.Execute({QStringLiteral("Update paciente set Pac_Status=0 ") +
                         QStringLiteral(" where PAC_ID=:id")},
                        params);
        }
    } catch (const TDBError& error) {
        ShowDBError(1, error.Message());
        return false;
    }
    return true;
}

bool TBDEndomira::RestorePatient(int id) {
    try {
        DM_.Execute({QStringLiteral("update paciente set PAC_STATUS=1 where PAC_ID=:id")},
                    {{QStringLiteral("id"), id}});
    } catch (const TDBError& error) {
        ShowDBError(1, error.Message());
        return false;
    }
    return true;
}

void TBDEndomira::SetPatientStatus(int id, int status) {
    DM_.Execute(
        {QStringLiteral("Update Paciente set PAC_STATUS=:ParamSTATUS where PAC_ID=:ParamID")},
        {{QStringLiteral("ParamSTATUS"), status}, {QStringLiteral("ParamID"), id}});
}

QStringList TBDEndomira::NameConditions(const QString& name, const QString& column,
                                        QVariantMap& params, bool includeFirst) {
    QStringList lines;
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty()) {
        return lines;
    }
    const QStringList words = trimmed.split(u' ');
    const int count = std::min<int>(static_cast<int>(words.size()), kMaxNameWords);
    for (int k = 1; k <= count; ++k) {
        params.insert(QStringLiteral("p%1").arg(k), u'%' + words[k - 1] + u'%');
        if (k == 1) {
            if (includeFirst) {
                lines << QStringLiteral("and upper(%1) like upper(:p1) ").arg(column);
            }
        } else {
            lines << Connective_ +
                         QStringLiteral(" upper(%1) like upper(:p%2) ").arg(column).arg(k);
        }
    }
    return lines;
}

void TBDEndomira::FlipSortDirection() {
    SortDirection_ =
        SortDirection_ == QStringLiteral("ASC") ? QStringLiteral("DESC") : QStringLiteral("ASC");
}

int TBDEndomira::ListPatients(const QString& name, int status, int recordNumber, const QString& cpf,
                              int doctorId, const QString& sex, const QString& dateFrom,
                              const QString& dateTo, const QString& sortKey, int rowToRestore) {
    Connective_ = QStringLiteral("and");
    const std::optional<QDate> from = DateIfValid(dateFrom);
    const std::optional<QDate> to = DateIfValid(dateTo);
    const bool datesInForce = from && to;

    // The sort column is checked before anything else changes.
    QString sortColumn;
    QString direction = SortDirection_;
    if (!sortKey.isEmpty()) {
        QString key = sortKey;
        if (!key.contains(u'-') && !key.contains(u'+')) {
            direction =
                direction == QStringLiteral("ASC") ? QStringLiteral("DESC") : QStringLiteral("ASC");
        } else {
            direction = key.contains(u'-') ? QStringLiteral("ASC") : QStringLiteral("DESC");
            key.remove(0, 1);
        }
        sortColumn = SortColumnOrThrow(PatientListColumns(), key);
    }

    // Without a condition on the exams, each patient is one row whatever its exams: the exam
    // count is a subquery, so that the server neither joins nor groups every patient, and the
    // list can be fetched a block at a time with its count taken apart under the same
    // conditions. A condition on the exams keeps the join, which gives one row per exam date.
    const bool examConditions = doctorId >= 0 || datesInForce;
    const QString patientColumns = PatientListSelectColumns();

    QVariantMap params;
    QStringList conditions;
    if (status == 0 || status == 1) {
        conditions << QStringLiteral("where PAC_Status=:status ");
        params.insert(QStringLiteral("status"), status);
    } else if (status == 2) {
        conditions << QStringLiteral("where PAC_Status>=0 ");
    } else {
        conditions << QStringLiteral("where PAC_Status=123 ");
    }
    if (recordNumber > 0) {
        conditions << QStringLiteral("and Pac_Prontuario=:ParamPront ");
        params.insert(QStringLiteral("ParamPront"), recordNumber);
    } else if (!cpf.isEmpty()) {
        conditions << QStringLiteral("and Pac_CPF like :ParamCPF ");
        params.insert(QStringLiteral("ParamCPF"), u'%' + cpf + u'%');
    }
    if (doctorId > 0) {
        conditions << QStringLiteral("and Exm_Medico=:ParamDoctor ");
        params.insert(QStringLiteral("ParamDoctor"), doctorId);
    } else if (doctorId == 0) {
        conditions << QStringLiteral("and Exm_Medico is not NULL ");
    }
    if (!sex.isEmpty()) {
        conditions << QStringLiteral("and Pac_Sexo=:ParamSexo ");
        params.insert(QStringLiteral("ParamSexo"), sex);
    }
    if (datesInForce) {
        conditions << QStringLiteral("and (EXM_DATA between :DataI and :DataF) ");
        params.insert(QStringLiteral("DataI"), *from);
        params.insert(QStringLiteral("DataF"), *to);
    }
    conditions << NameConditions(name, QStringLiteral("PAC_NOME"), params, true);

    QStringList lines;
    QStringList countLines;
    if (examConditions) {
        lines << QStringLiteral("select distinct ") + patientColumns
              << (datesInForce ? QStringLiteral("EXM_DATA as PAC_EXMDATA,")
                               : QStringLiteral("current_date as PAC_EXMDATA,"))
              << QStringLiteral("count(EXM_ID) as PAC_TOTALEXAME from paciente left join exame "
                                "on PAC_ID=EXM_Paciente ")
              << conditions
              << QStringLiteral(
                     "group by PAC_ID,PAC_STATUS,PAC_PRONTUARIO,PAC_NOME,PAC_SEXO,PAC_PROF,"
                     "PAC_CIVIL,PAC_SANGUE,PAC_CPF,PAC_RG,PAC_ORGAO,PAC_NASCIMENTO,PAC_IDADE,"
                     "PAC_NATURAL,PAC_NAT_UF,PAC_PAI,PAC_MAE,PAC_LOGRADOURO,PAC_COMPLEMENTO,"
                     "PAC_BAIRRO,PAC_CIDADE,PAC_UF,PAC_CEP,PAC_FONE1,PAC_FONE2,PAC_FONE3,"
                     "PAC_EMAIL,PAC_OBSERVACOES,PAC_IDADE,PAC_EXMDATA");
    } else {
        lines << QStringLiteral("select ") + patientColumns
              << QStringLiteral("current_date as PAC_EXMDATA,") << PatientExamCountFrom()
              << conditions;
        countLines << QStringLiteral("select count(*) from paciente ") << conditions;
    }
    if (sortColumn.isEmpty()) {
        lines << QStringLiteral("order by PAC_NOME");
    } else {
        SortDirection_ = direction;
        QString order = QStringLiteral("order by ") + sortColumn + u' ' + direction;
        if (sortColumn != QStringLiteral("PAC_NOME")) {
            order += QStringLiteral(" ,PAC_NOME ASC");
        }
        lines << order;
    }
    const int count = DM_.OpenList(TList::Patients, lines, params, countLines);
    if (rowToRestore > 0) {
        DM_.SetCurrentRow(TList::Patients, rowToRestore - 1);
    }
    return count;
}

// ---------------------------------------------------------------------------------------------
// Doctors

bool TBDEndomira::SaveDoctor(TMedico& d) {
    if (!d.CPF.isEmpty() && !IsValidCPF(d.CPF)) {
        ShowError(QStringLiteral("Número de CPF Inválido!"));
        return false;
    }
    d.Nome = d.Nome.trimmed();
    if (d.Nome.isEmpty()) {
        ShowError(QStringLiteral("Nome de Medico Inválido!"));
        return false;
    }
    d.Sexo = d.Sexo.trimmed().toUpper();
    QString upper = d.Nome;
    for (QChar& c : upper) {
        c = Win1252Upper(c);
    }
    const bool hasTitle =
        upper.contains(QStringLiteral("DR. ")) || upper.contains(QStringLiteral("DRA. ")) ||
        upper.contains(QStringLiteral("DR ")) || upper.contains(QStringLiteral("DRA "));
    if (!hasTitle) {
        if (d.Sexo == QStringLiteral("M")) {
            d.Nome = QStringLiteral("Dr. ") + d.Nome;
        } else if (d.Sexo == QStringLiteral("F")) {
            d.Nome = QStringLiteral("Dra. ") + d.Nome;
        } else {
            ShowError(
                QStringLiteral("Nome de Médico Inválido\nDigite o título ou selecione o sexo!"));
            return false;
        }
    }
    d.CRM = d.CRM.trimmed();
    if (d.CRM.isEmpty()) {
        ShowError(QStringLiteral("CRM Inválido!"));
        return false;
    }
    if (d.Orgao.size() > 6) {
        ShowError(QStringLiteral("Orgão Expeditor deve ter no máximo 6 caracteres!"));
        return false;
    }
    d.Email = d.Email.trimmed();
    if (!IsValidEmail(d.Email)) {
        ShowError(QStringLiteral("Email Inválido!"));
        return false;
    }
    // The birth date is optional, but a date typed wrong is refused rather than dropped.
    const bool hasBirthDate = IsValidDate(d.Nascimento);
    if (!hasBirthDate && !IsEmptyDateText(d.Nascimento)) {
        ShowError(QStringLiteral("Data de Nascimento inválida!"));
        return false;
    }

    d.Nome = ProperCaseName(d.Nome);
    d.Especialidade = ProperCaseName(d.Especialidade);
    d.Natural = ProperCaseName(d.Natural);
    d.Pai = ProperCaseName(d.Pai);
    d.Mae = ProperCaseName(d.Mae);
    d.Logradouro = ProperCaseName(d.Logradouro);
    d.Complemento = ProperCaseName(d.Complemento);
    d.Bairro = ProperCaseName(d.Bairro);
    d.Cidade = ProperCaseName(d.Cidade);
    d.Email = Win1252LowerText(d.Email);

    try {
        QVariantMap params{
            {QStringLiteral("nome"), BindText(d.Nome)},
            {QStringLiteral("sexo"), BindText(d.Sexo)},
            {QStringLiteral("crm"), BindText(d.CRM)},
            {QStringLiteral("especialidade"), BindText(d.Especialidade)},
            {QStringLiteral("cpf"), BindText(d.CPF)},
            {QStringLiteral("rg"), BindText(d.RG)},
            {QStringLiteral("orgao"), BindText(d.Orgao)},
            {QStringLiteral("natural"), BindText(d.Natural)},
            {QStringLiteral("nat_uf"), BindText(d.NatUF)},
            {QStringLiteral("pai"), BindText(d.Pai)},
            {QStringLiteral("mae"), BindText(d.Mae)},
            {QStringLiteral("logradouro"), BindText(d.Logradouro)},
            {QStringLiteral("complemento"), BindText(d.Complemento)},
            {QStringLiteral("bairro"), BindText(d.Bairro)},
            {QStringLiteral("cidade"), BindText(d.Cidade)},
            {QStringLiteral("uf"), BindText(d.UF)},
            {QStringLiteral("cep"), BindText(d.CEP)},
            {QStringLiteral("fone1"), BindText(d.Fone1)},
            {QStringLiteral("fone2"), BindText(d.Fone2)},
            {QStringLiteral("fone3"), BindText(d.Fone3)},
            {QStringLiteral("email"), BindText(d.Email)},
            {QStringLiteral("observacoes"), BindText(d.Observacoes)},
        };
        if (hasBirthDate) {
            params.insert(QStringLiteral("nascimento"), *TextToDate(d.Nascimento));
        }
        if (d.Id == -1) {
            QSqlQuery query = DM_.Execute(
                {QStringLiteral("Insert into medico"),
                 QStringLiteral("(Med_Nome, Med_Sexo, Med_CRM, Med_Especialidade, Med_CPF, "
                                "Med_RG, Med_ORGAO, ") +
                     (hasBirthDate ? QStringLiteral("Med_Nascimento, ") : QString()) +
                     QStringLiteral("Med_Natural, Med_Natural_UF, Med_Pai, Med_Mae, "
                                    "Med_Logradouro, Med_Complemento, Med_Bairro, Med_Cidade, "
                                    "Med_UF, Med_CEP, Med_Fone1, Med_Fone2, Med_Fone3, "
                                    "Med_Email, Med_Observacoes)"),
                 QStringLiteral("values (:nome, :sexo, :crm, :especialidade, :cpf, :rg, "
                                ":orgao, ") +
                     (hasBirthDate ? QStringLiteral(":nascimento, ") : QString()) +
                     QStringLiteral(":natural, :nat_uf, :pai, :mae, :logradouro, "
                                    ":complemento, :bairro, :cidade, :uf, :cep, :fone1, "
                                    ":fone2, :fone3, :email, :observacoes)"),
                 QStringLiteral("returning MED_ID")},
                params);
            if (!TDataModule1::Next(query)) {
                throw TDBError(QStringLiteral("O médico inserido não retornou seu código."));
            }
            d.Id = query.value(0).toInt();
        } else {
            params.insert(QStringLiteral("id"), d.Id);
            QStringList lines{QStringLiteral("Update medico "),
                              QStringLiteral(" set Med_Nome=:nome,"),
                              QStringLiteral(" Med_Sexo=:sexo,"),
                              QStringLiteral(" Med_CRM=:crm, "),
                              QStringLiteral(" Med_Especialidade=:especialidade, "),
                              QStringLiteral(" Med_CPF=:cpf,"),
                              QStringLiteral(" Med_RG=:rg,"),
                              QStringLiteral(" Med_ORGAO=:orgao,")};
            if (hasBirthDate) {
                lines << QStringLiteral(" Med_Nascimento=:nascimento,");
            }
            lines << QStringLiteral(" Med_Pai=:pai,") << QStringLiteral(" Med_Mae=:mae,")
                  << QStringLiteral(" Med_Natural=:natural,")
                  << QStringLiteral(" Med_Natural_UF=:nat_uf,")
                  << QStringLiteral(" Med_Logradouro=:logradouro,")
                  << QStringLiteral(" Med_Complemento=:complemento,")
                  << QStringLiteral(" Med_Bairro=:bairro,")
                  << QStringLiteral(" Med_Cidade=:cidade,") << QStringLiteral(" Med_UF=:uf,")
                  << QStringLiteral(" Med_CEP=:cep,") << QStringLiteral(" Med_Fone1=:fone1,")
                  << QStringLiteral(" Med_Fone2=:fone2,") << QStringLiteral(" Med_Fone3=:fone3,")
                  << QStringLiteral(" Med_Email=:email,")
                  << QStringLiteral(" Med_Observacoes=:observacoes")
                  << QStringLiteral(" where MED_ID=:id");
            if (DM_.Execute(lines, params).numRowsAffected() == 0) {
                throw TDBError(QStringLiteral("ID do Médico não Encontrado!"));
            }
        }
    } catch (const TDBError& error) {
        ShowDBError(2, error.Message());
        return false;
    }
    return true;
}

int TBDEndomira::ListDoctors(const QString& name, int status, const QString& orderColumn) {
    const QString column =
        orderColumn.isEmpty() ? QString() : SortColumnOrThrow(DoctorColumns(), orderColumn);
    QVariantMap params{{QStringLiteral("status"), status}};
    QStringList lines;
    if (!name.trimmed().isEmpty()) {
        lines << QStringLiteral("select * from MEDICO where upper(MED_NOME) like upper(:p1) ");
        lines << NameConditions(name, QStringLiteral("MED_NOME"), params, false);
        lines << QStringLiteral("and MED_STATUS=:status ");
        lines << (column.isEmpty() ? QStringLiteral("order by MED_NOME")
                                   : QStringLiteral("order by ") + column);
    } else if (!column.isEmpty()) {
        lines << QStringLiteral("select * from MEDICO where MED_Status=:status order by ") +
                     column + QStringLiteral(" ASC");
    } else {
        lines << QStringLiteral("select * from MEDICO where MED_Status=:status order by MED_NOME");
    }
    return DM_.OpenList(TList::Doctors, lines, params);
}

bool TBDEndomira::DeactivateDoctor(int id) {
    try {
        const QVariantMap params{{QStringLiteral("id"), id}};
        QSqlQuery query =
            DM_.Execute({QStringLiteral("select * from medico where MED_ID=:id")}, params);
        if (!TDataModule1::Next(query)) {
            ShowError(QStringLiteral("ID do Médico não Encontrado!"));
            return false;
        }
        if (ColumnInt(query, QStringLiteral("MED_STATUS")) == 1) {
            DM_.Execute({QStringLiteral("Update medico set Med_Status=0 ") +
                         QStringLiteral(" where Med_ID=:id")},
                        params);
        }
    } catch (const TDBError& error) {
        ShowDBError(2, error.Message());
        return false;
    }
    return true;
}

bool TBDEndomira::RestoreAllDoctors() {
    try {
        DM_.Execute({QStringLiteral("update medico set MED_STATUS=1")});
    } catch (const TDBError& error) {
        ShowDBError(2, error.Message());
        return false;
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// Exams

bool TBDEndomira::StoreExam(TExame& exam, std::span<const TExamFrameImages> frames) {
    const std::size_t chosen = ChooseStoredFrame(frames);
    if (exam.EXM_MEDICO == 0) {
        ShowError(QStringLiteral("Selecione um Médico Responsável!"));
        return false;
    }
    if (exam.EXM_PACIENTE == 0) {
        ShowError(QStringLiteral("Selecione um paciente!"));
        return false;
    }
    try {
        const QDate today = Today();
        const QTime now = QTime::currentTime();
        // The time is stored to the second, so that the text kept equals the column.
        const QTime time(now.hour(), now.minute(), now.second());
        exam.EXM_DATA = DateToText(today);
        exam.EXM_HORA = time.toString(QStringLiteral("hh:mm:ss"));
        QVariantMap params{
            {QStringLiteral("data"), today},
            {QStringLiteral("hora"), time},
            {QStringLiteral("FixSide"), BindText(exam.EXM_FIX_SIDE)},
            {QStringLiteral("FixPos"), static_cast<int>(exam.EXM_FIX_POS)},
            {QStringLiteral("TotalCelulas"), exam.EXM_TOTALCELULAS},
            {QStringLiteral("AreaAnalisada"), exam.EXM_AREAANALISADA},
            {QStringLiteral("Densidade"), exam.EXM_DENSIDADE},
            {QStringLiteral("DP"), exam.EXM_DP},
            {QStringLiteral("AreaMin"), exam.EXM_AREAMIN},
            {QStringLiteral("AreaMed"), exam.EXM_AREAMED},
            {QStringLiteral("AreaMax"), exam.EXM_AREAMAX},
            {QStringLiteral("Hexagonais"), exam.EXM_HEXAGONAIS},
            {QStringLiteral("CoefVar"), exam.EXM_COEFVAR},
            {QStringLiteral("TotalIMG"), exam.EXM_TOTALIMG},
            {QStringLiteral("PaqMed"), exam.EXM_PAQUIMETRIA},
            {QStringLiteral("MorphoInfo"), BindText(exam.EXM_MORPHOINFO)},
            {QStringLiteral("MegatInfo"), BindText(exam.EXM_MEGATINFO)},
            {QStringLiteral("Diagnostico"), BindText(exam.EXM_DIAGNOSTICO)},
            {QStringLiteral("Observacao"), BindText(exam.EXM_OBSERVACAO)},
        };
        if (exam.EXM_ID == -1) {
            params.insert(QStringLiteral("medico"), exam.EXM_MEDICO);
            params.insert(QStringLiteral("paciente"), exam.EXM_PACIENTE);
            params.insert(QStringLiteral("olho"), exam.EXM_OLHO);
            params.insert(QStringLiteral("firmware"), BindText(exam.EXM_FIRMWARE));
            params.insert(QStringLiteral("software"), BindText(exam.EXM_SOFTWARE));
            // The id is the inserted row's own, read back with the insert.
            QSqlQuery query = DM_.Execute({QStringLiteral("insert into Exame "),
                                           QStringLiteral("("),
                                           QStringLiteral(" Exm_Medico"),
                                           QStringLiteral(",Exm_Paciente"),
                                           QStringLiteral(",Exm_Data"),
                                           QStringLiteral(",Exm_Hora"),
                                           QStringLiteral(",Exm_Olho"),
                                           QStringLiteral(",Exm_FIX_Side"),
                                           QStringLiteral(",Exm_FIX_POS"),
                                           QStringLiteral(",Exm_Firmware"),
                                           QStringLiteral(",Exm_Software"),
                                           QStringLiteral(",Exm_TotalCelulas"),
                                           QStringLiteral(",Exm_AreaAnalisada"),
                                           QStringLiteral(",Exm_Densidade"),
                                           QStringLiteral(",Exm_DP"),
                                           QStringLiteral(",Exm_AreaMin"),
                                           QStringLiteral(",Exm_AreaMed"),
                                           QStringLiteral(",Exm_AreaMax"),
                                           QStringLiteral(",Exm_Hexagonais"),
                                           QStringLiteral(",Exm_CoefVar"),
                                           QStringLiteral(",Exm_TotalIMG"),
                                           QStringLiteral(",Exm_Paquimetria"),
                                           QStringLiteral(",Exm_MorphoInfo"),
                                           QStringLiteral(",Exm_MegatInfo"),
                                           QStringLiteral(",Exm_Diagnostico"),
                                           QStringLiteral(",Exm_Observacao"),
                                           QStringLiteral(") "),
                                           QStringLiteral("values ("),
                                           QStringLiteral(":medico,"),
                                           QStringLiteral(":paciente,"),
                                           QStringLiteral(":data,"),
                                           QStringLiteral(":hora,"),
                                           QStringLiteral(":olho,"),
                                           QStringLiteral(":FixSide,"),
                                           QStringLiteral(":FixPos,"),
                                           QStringLiteral(":firmware,"),
                                           QStringLiteral(":software,"),
                                           QStringLiteral(":TotalCelulas,"),
                                           QStringLiteral(":AreaAnalisada,"),
                                           QStringLiteral(":Densidade,"),
                                           QStringLiteral(":DP,"),
                                           QStringLiteral(":AreaMin,"),
                                           QStringLiteral(":AreaMed,"),
                                           QStringLiteral(":AreaMax,"),
                                           QStringLiteral(":Hexagonais,"),
                                           QStringLiteral(":CoefVar,"),
                                           QStringLiteral(":TotalIMG,"),
                                           QStringLiteral(":PaqMed,"),
                                           QStringLiteral(":MorphoInfo,"),
                                           QStringLiteral(":MegatInfo,"),
                                           QStringLiteral(":Diagnostico,"),
                                           QStringLiteral(":Observacao"),
                                           QStringLiteral(")"),
                                           QStringLiteral("returning Exm_Id")},
                                          params);
            if (!TDataModule1::Next(query)) {
                throw TDBError(QStringLiteral("O exame inserido não retornou seu código."));
            }
            exam.EXM_ID = query.value(0).toInt();
        } else {
            params.insert(QStringLiteral("IDExame"), exam.EXM_ID);
            const QSqlQuery update =
                DM_.Execute({QStringLiteral("update Exame set "),
                             QStringLiteral(" Exm_Data=:data "),
                             QStringLiteral(",Exm_Hora=:hora "),
                             QStringLiteral(",Exm_FIX_Side=:FixSide "),
                             QStringLiteral(",Exm_FIX_POS=:FixPos "),
                             QStringLiteral(",Exm_TotalCelulas=:TotalCelulas "),
                             QStringLiteral(",Exm_AreaAnalisada=:AreaAnalisada "),
                             QStringLiteral(",Exm_Densidade=:Densidade "),
                             QStringLiteral(",Exm_DP=:DP "),
                             QStringLiteral(",Exm_AreaMin=:AreaMin "),
                             QStringLiteral(",Exm_AreaMed=:AreaMed "),
                             QStringLiteral(",Exm_AreaMax=:AreaMax "),
                             QStringLiteral(",Exm_Hexagonais=:Hexagonais "),
                             QStringLiteral(",Exm_CoefVar=:CoefVar "),
                             QStringLiteral(",Exm_TotalIMG=:TotalIMG "),
                             QStringLiteral(",Exm_Paquimetria=:PaqMed "),
                             QStringLiteral(",Exm_MorphoInfo=:MorphoInfo "),
                             QStringLiteral(",Exm_MegatInfo=:MegatInfo "),
                             QStringLiteral(",Exm_Diagnostico=:Diagnostico "),
                             QStringLiteral(",Exm_Observacao=:Observacao "),
                             QStringLiteral(" Where Exm_ID=:IDExame")},
                            params);
            // An exam that is no longer there is not reported as saved.
            if (update.numRowsAffected() == 0) {
                throw TDBError(
                    QStringLiteral("Exame %1 não encontrado; nada foi gravado.").arg(exam.EXM_ID));
            }
        }

        const QString folder =
            ExamImageRoot(DM_.ProgramFolder()) + u'/' + ExamFolderName(exam.EXM_ID);
        // A folder that cannot be made shows up as the first file that cannot be written.
        QDir().mkpath(folder);
        const TExamFrameImages none;
        const TExamFrameImages& frame = chosen < frames.size() ? frames[chosen] : none;
        const QString original = folder + QStringLiteral("/Original.bmp");
        const QString crop = folder + QStringLiteral("/Crop.bmp");
        const QString processed = folder + QStringLiteral("/Process.bmp");
        for (const auto& [image, path] :
             {std::pair{&frame.Image, &original}, std::pair{&frame.CropOriginal, &crop},
              std::pair{&frame.CropProcessed, &processed}}) {
            const QString error = WriteBmp24(*image, *path);
            if (!error.isEmpty()) {
                throw TDBError(error);
            }
        }
        DM_.Execute({QStringLiteral("update exame set "),
                     QStringLiteral("Exm_IMG_CROP_ORIG=:Crop, "),
                     QStringLiteral("Exm_IMG_CROP_PROC=:Processada "),
                     QStringLiteral("Where Exm_ID=:IDExame")},
                    {{QStringLiteral("Crop"), crop},
                     {QStringLiteral("Processada"), processed},
                     {QStringLiteral("IDExame"), exam.EXM_ID}});
        exam.EXM_IMG_CROP_ORIG = crop;
        exam.EXM_IMG_CROP_PROC = processed;
    } catch (const TDBError& error) {
        ShowDBError(3, error.Message());
        return false;
    }
    ShowMessageDlg(QStringLiteral("Exame Salvo com Sucesso!"), TMsgKind::Information, mbOK);
    return true;
}

int TBDEndomira::ListExams(int patientId, int doctorId, const QString& dateFrom,
                           const QString& dateTo, const QString& sortColumn) {
    const QString column =
        sortColumn.isEmpty() ? QString() : SortColumnOrThrow(ExamSummaryColumns(), sortColumn);
    QStringList lines{QStringLiteral("select * from EXAME_RESUMO ")};
    QVariantMap params{{QStringLiteral("paciente"), patientId}};
    if (doctorId != 0) {
        lines << QStringLiteral("where ") << QStringLiteral("(EXM_PACIENTE=:paciente and ")
              << QStringLiteral(" EXM_MEDICO=:medico) ");
        params.insert(QStringLiteral("medico"), doctorId);
    } else {
        lines << QStringLiteral("where ") << QStringLiteral("(EXM_PACIENTE=:paciente) ");
    }
    const std::optional<QDate> from = DateIfValid(dateFrom);
    const std::optional<QDate> to = DateIfValid(dateTo);
    if (from && to) {
        lines << QStringLiteral(" and (EXM_DATA between :DataInicial and :DataFinal) ");
        params.insert(QStringLiteral("DataInicial"), *from);
        params.insert(QStringLiteral("DataFinal"), *to);
    }
    if (!column.isEmpty()) {
        FlipSortDirection();
        lines << QStringLiteral("Order by ") + column + u' ' + SortDirection_;
    } else {
        lines << QStringLiteral("Order by EXM_Data desc, EXM_Hora desc");
    }
    return DM_.OpenList(TList::Exams, lines, params);
}

} // namespace endomira
