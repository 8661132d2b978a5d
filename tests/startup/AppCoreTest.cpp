// Settings store, error report and number formats: the QtCore part.
#include "startup/ErrorReport.h"
#include "startup/NumberFormat.h"
#include "startup/SettingsStore.h"
#include "support/Fixtures.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSettings>


using namespace cptest;

namespace {

class SettingsTest : public ::testing::Test {
protected:
    TempDir dir;
    // QSettings works out the user's folder once per process; each test gets its own.
    void SetUp() override
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString(dir.path()));
    }
    QString file() const { return QString::fromStdString(dir / "Oxbrook/Chunkpicker.conf"); }
    static QSettings Store() { return QSettings(QSettings::NativeFormat, QSettings::UserScope, "Oxbrook", "Chunkpicker"); }
};

TEST_F(SettingsTest, RoundTripThroughTheUsersConfigFile)
{
    {
        QSettings qs = Store();
        cp::SettingsStore store(qs);
        EXPECT_EQ(store.GetRegSetting("FFLDir", "/opt/chunkpicker"), "/opt/chunkpicker") << "first start: defaults";
        EXPECT_EQ(store.GetRegSetting("Filter", 0), "0");
        store.SaveRegSetting("FFLDir", "/home/ich/Spiele, alt");
        store.SaveRegSetting("WindowPosX", "4500");
        store.sync();
    }
    ASSERT_TRUE(QFile::exists(file()));
    QSettings qs = Store();
    cp::SettingsStore store(qs);
    EXPECT_EQ(store.GetRegSetting("FFLDir", "x"), "/home/ich/Spiele, alt");
    EXPECT_EQ(store.GetRegSetting("WindowPosX", 7), "4500");
}

TEST_F(SettingsTest, BooleansEmptyValuesAndLongValues)
{
    QSettings qs = Store();
    cp::SettingsStore store(qs);
    store.SaveRegSetting("A", "Wahr");
    store.SaveRegSetting("B", "True");
    store.SaveRegSetting("C", "wahr");
    store.SaveRegSetting("D", "");
    store.SaveRegSetting("E", QString(1024, 'x'));
    store.SaveRegSetting("F", QString(1025, 'x'));
    EXPECT_EQ(store.GetRegSetting("A", "0"), "-1");
    EXPECT_EQ(store.GetRegSetting("B", "0"), "-1");
    EXPECT_EQ(store.GetRegSetting("C", "0"), "wahr");
    EXPECT_EQ(store.GetRegSetting("D", "0"), "0") << "an empty value counts as absent";
    EXPECT_EQ(store.GetRegSetting("D", "Wahr"), "-1") << "the rule holds for defaults too";
    EXPECT_EQ(store.GetRegSetting("E", "0").size(), 1024);
    EXPECT_EQ(store.GetRegSetting("F", "0"), "0");
}

TEST_F(SettingsTest, ValuesWrittenByHandAreReadAsText)
{
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(dir / "Oxbrook")));
    WriteFile(file().toStdString(), Text("[General]\nFFLDir=/a,/b\nLoop=1\nFileSavedMsg=Wahr\n"));
    QSettings qs = Store();
    cp::SettingsStore store(qs);
    EXPECT_EQ(store.GetRegSetting("FFLDir", ""), "/a,/b");
    EXPECT_EQ(store.GetRegSetting("Loop", 0), "1");
    EXPECT_EQ(store.GetRegSetting("FileSavedMsg", "0"), "-1");
}

TEST(SettingNumbers, LocaleFormFirstThenPlain)
{
    const QLocale german(QLocale::German, QLocale::Germany);
    double v = 0;
    EXPECT_TRUE(cp::SettingToNumber("4500", german, &v));
    EXPECT_EQ(v, 4500);
    EXPECT_TRUE(cp::SettingToNumber("-120,5", german, &v));
    EXPECT_EQ(v, -120.5);
    EXPECT_TRUE(cp::SettingToNumber("99999999", german, &v)) << "off-screen positions are kept";
    EXPECT_FALSE(cp::SettingToNumber("links", german, &v));
    EXPECT_EQ(cp::BooleanTrueText(german), "Wahr");
    EXPECT_EQ(cp::BooleanTrueText(QLocale(QLocale::English)), "True");
}

TEST(ErrorReport, TextAndCaption)
{
    EXPECT_EQ(cp::ReportErrorCaption(53), "Fehler 53");
    EXPECT_EQ(cp::ReportErrorCaption(-5), "Fehler -5");
    const QString text = cp::ReportErrorText("tlbMain_ButtonClick", "", "\r");
    EXPECT_TRUE(text.startsWith("In der Prozedur 'tlbMain_ButtonClick' trat folgender Fehler auf: \r\r"
                                "Die Arbeit mit Chunk Picker kann wahrscheinlich fortgesetzt werden.\r"
                                "Falls dieser Fehler durch eine Änderung am Programm behoben werden kann, beschreiben "
                                "Sie die zum Fehler führenden Schritte ausführlich, und schicken Sie den Report an '"))
        << text.toStdString();
    EXPECT_TRUE(text.endsWith("'. Vielen Dank!"));
    EXPECT_TRUE(text.contains(cp::ContactAddress()));
}

TEST(NumberFormat, GermanAndEnglishSeparators)
{
    const QLocale de(QLocale::German, QLocale::Germany), en(QLocale::English, QLocale::UnitedStates);
    EXPECT_EQ(cp::FormatGrouped(1234567, de), "1.234.567");
    EXPECT_EQ(cp::FormatGrouped(999, de), "999");
    EXPECT_EQ(cp::FormatGrouped(0, de), "0");
    EXPECT_EQ(cp::FormatGrouped(5'000'000'000LL, en), "5,000,000,000");
    EXPECT_EQ(cp::FormatOneDecimal(2.5, de), "2,5");
    EXPECT_EQ(cp::FormatOneDecimal(1234.56, de), "1.234,6");
    EXPECT_EQ(cp::FormatOneDecimal(0, de), "0,0");
    EXPECT_EQ(cp::FormatShare(0.12345, de), "12,3%");
    EXPECT_EQ(cp::FormatShare(1.0, de), "100,0%");
    EXPECT_EQ(cp::FormatShare(0.0001, en), "0.0%");
}

} // namespace
