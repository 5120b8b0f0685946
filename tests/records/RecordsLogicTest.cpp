// The managers' rules without windows: what the filter controls search for, the count texts,
// what a row offers and what a key asks, and the values read from masked fields.

#include "RecordsLogic.h"

#include <gtest/gtest.h>

using namespace endomira;

namespace {

TPatientFilterControls On() {
    TPatientFilterControls c;
    c.FilterOn = true;
    return c;
}

struct TFilterCase {
    const char* Name;
    TPatientFilterControls Controls;
    TPatientSearch Expected;
};

} // namespace

TEST(PatientFilter, ControlsGiveTheSearch) {
    TPatientFilterControls offWithValues;
    offWithValues.Name = QStringLiteral("silva");
    offWithValues.HandBook = QStringLiteral("12");
    offWithValues.Active = false;
    offWithValues.Inactive = true;
    offWithValues.Male = false;

    TPatientFilterControls nameAndNumber = On();
    nameAndNumber.Name = QStringLiteral("ana silva");
    nameAndNumber.HandBook = QStringLiteral(" 42 ");

    TPatientFilterControls letters = On();
    letters.HandBook = QStringLiteral("12a");

    TPatientFilterControls cpf = On();
    cpf.HandBookIsCPF = true;
    cpf.HandBook = QStringLiteral("123");

    TPatientFilterControls both = On();
    both.Inactive = true;
    TPatientFilterControls inactiveOnly = On();
    inactiveOnly.Active = false;
    inactiveOnly.Inactive = true;
    TPatientFilterControls noStatus = On();
    noStatus.Active = false;
    TPatientFilterControls female = On();
    female.Male = false;
    TPatientFilterControls male = On();
    male.Female = false;
    TPatientFilterControls noSex = On();
    noSex.Female = false;
    noSex.Male = false;

    const TFilterCase cases[] = {
        {"off ignores every field", offWithValues, {QString(), 1, 0, QString(), QString()}},
        {"name and record number",
         nameAndNumber,
         {QStringLiteral("ana silva"), 1, 42, QString(), QString()}},
        {"record number with letters is none", letters, {QString(), 1, 0, QString(), QString()}},
        {"CPF searched as text", cpf, {QString(), 1, 0, QStringLiteral("123"), QString()}},
        {"both statuses", both, {QString(), 2, 0, QString(), QString()}},
        {"inactive only", inactiveOnly, {QString(), 0, 0, QString(), QString()}},
        {"no status lists nobody", noStatus, {QString(), 3, 0, QString(), QString()}},
        {"female only", female, {QString(), 1, 0, QString(), QStringLiteral("F")}},
        {"male only", male, {QString(), 1, 0, QString(), QStringLiteral("M")}},
        {"no sex lists nobody", noSex, {QString(), 1, 0, QString(), QStringLiteral("N")}},
    };
    for (const TFilterCase& c : cases) {
        const TPatientSearch s = PatientSearchFor(c.Controls);
        EXPECT_EQ(s, c.Expected) << c.Name << ": got name '" << s.Name.toStdString() << "' status "
                                 << s.Status << " number " << s.RecordNumber << " cpf '"
                                 << s.CPF.toStdString() << "' sex '" << s.Sex.toStdString() << "'";
    }
}

TEST(CountTexts, PatientsAndDoctors) {
    EXPECT_EQ(PatientCountText(0), QStringLiteral("Nenhum Paciente"));
    EXPECT_EQ(PatientCountText(1), QStringLiteral("1 Pacientes"));
    EXPECT_EQ(PatientCountText(20000), QStringLiteral("20000 Pacientes"));
    EXPECT_EQ(DoctorCountText(0), QStringLiteral("0 Medico Listado"));
    EXPECT_EQ(DoctorCountText(1), QStringLiteral("1 Medico Listado"));
    EXPECT_EQ(DoctorCountText(2), QStringLiteral("2 Medicos Listados"));
}

TEST(PatientRow, ActionsFollowStatus) {
    const TPatientRowActions active = PatientRowActions(7, 1, false);
    EXPECT_TRUE(active.EraseEnabled);
    EXPECT_FALSE(active.RestoreEnabled);
    EXPECT_TRUE(active.ReloadFields);
    const TPatientRowActions inactive = PatientRowActions(7, 0, false);
    EXPECT_FALSE(inactive.EraseEnabled);
    EXPECT_TRUE(inactive.RestoreEnabled);
    EXPECT_TRUE(inactive.ReloadFields);
    // A new patient being typed is not overwritten by the row the grid shows, active or not.
    EXPECT_FALSE(PatientRowActions(7, 1, true).ReloadFields);
    EXPECT_FALSE(PatientRowActions(7, 0, true).ReloadFields);
    const TPatientRowActions empty = PatientRowActions(0, 0, false);
    EXPECT_FALSE(empty.EraseEnabled);
    EXPECT_FALSE(empty.RestoreEnabled);
    EXPECT_FALSE(empty.ReloadFields);
}

TEST(PatientRow, KeysAskOnlyForAChange) {
    const TPatientKeyAction deactivate = PatientKeyAction(Qt::Key_Delete, 1);
    EXPECT_TRUE(deactivate.Ask);
    EXPECT_EQ(deactivate.Question, QStringLiteral("Deseja Tornar Este Paciente Inativo?"));
    EXPECT_EQ(deactivate.NewStatus, 0);
    const TPatientKeyAction activate = PatientKeyAction(Qt::Key_Insert, 0);
    EXPECT_TRUE(activate.Ask);
    EXPECT_EQ(activate.Question, QStringLiteral("Deseja Tornar Este Paciente Ativo?"));
    EXPECT_EQ(activate.NewStatus, 1);
    EXPECT_FALSE(PatientKeyAction(Qt::Key_Delete, 0).Ask);
    EXPECT_FALSE(PatientKeyAction(Qt::Key_Insert, 1).Ask);
    EXPECT_FALSE(PatientKeyAction(Qt::Key_A, 1).Ask);
}

TEST(MaskedFields, ValuesReadBack) {
    struct {
        TMaskKind Kind;
        const char* Display;
        const char* Expected;
    } const cases[] = {
        {TMaskKind::RecordNumber, "123       ", "123"},
        {TMaskKind::RecordNumber, "          ", ""},
        {TMaskKind::RecordNumber, "1 2       ", "1 2"},
        {TMaskKind::CPF, "529.982.247-25", "52998224725"},
        {TMaskKind::CPF, "   .   .   -  ", ""},
        {TMaskKind::Date, "14/03/1950", "14/03/1950"},
        {TMaskKind::Date, "  /  /    ", "  /  /    "},
        {TMaskKind::Date, "", "  /  /    "},
        {TMaskKind::CEP, "01310-100", "01310-100"},
        {TMaskKind::CEP, "     -   ", ""},
        {TMaskKind::Phone, "(11) 3333-4444", "(11) 3333-4444"},
        {TMaskKind::Phone, "(  )     -    ", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MaskedFieldValue(c.Kind, QString::fromLatin1(c.Display)),
                  QString::fromLatin1(c.Expected))
            << c.Display;
    }
}

TEST(FixedLists, StatesInTheirOrder) {
    const QStringList& codes = StateCodes();
    ASSERT_EQ(codes.size(), 27);
    EXPECT_EQ(codes.join(u','),
              QStringLiteral("AC,AL,AP,AM,BA,CE,DF,ES,GO,MA,MT,MS,MG,PA,PB,PR,PE,PI,RJ,RN,RS,"
                             "RO,RR,SC,SP,SE,TO"));
}
