// Settings store and error report: the QtCore part.
#include "startup/ErrorReport.h"
#include "startup/SettingsStore.h"
#include "support/Fixtures.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QSettings>

using namespace cptest;

namespace {

TEST(Settings, RoundTripThroughTheUsersConfigFileAsText)
{
    TempDir dir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString(dir.path()));
    const auto store = [] { return QSettings(QSettings::NativeFormat, QSettings::UserScope, "Oxbrook", "Chunkpicker"); };
    {
        QSettings qs = store();
        cp::SettingsStore settings(qs);
        EXPECT_EQ(settings.GetRegSetting("FFLDir", "/opt/chunkpicker"), "/opt/chunkpicker") << "first start: defaults";
        EXPECT_EQ(settings.GetRegSetting("Filter", 0), "0");
        settings.SaveRegSetting("FFLDir", "/home/ich/Spiele, alt");
        settings.SaveRegSetting("A", "Wahr");
        settings.SaveRegSetting("B", "True");
        settings.SaveRegSetting("C", "wahr");
        settings.SaveRegSetting("D", "");
        settings.SaveRegSetting("E", QString(1024, 'x'));
        settings.SaveRegSetting("F", QString(1025, 'x'));
        settings.sync();
    }
    // Another tool may write a list without quotes.
    const std::string file = dir / "Oxbrook/Chunkpicker.conf";
    const Bytes written = ReadFile(file);
    WriteFile(file, Concat({written, Text("Handmade=/a,/b\n")}));
    QSettings qs = store();
    cp::SettingsStore settings(qs);
    EXPECT_EQ(settings.GetRegSetting("FFLDir", "x"), "/home/ich/Spiele, alt");
    EXPECT_EQ(settings.GetRegSetting("Handmade", ""), "/a,/b");
    EXPECT_EQ(settings.GetRegSetting("A", "0"), "-1");
    EXPECT_EQ(settings.GetRegSetting("B", "0"), "-1");
    EXPECT_EQ(settings.GetRegSetting("C", "0"), "wahr");
    EXPECT_EQ(settings.GetRegSetting("D", "0"), "0") << "an empty value counts as absent";
    EXPECT_EQ(settings.GetRegSetting("D", "Wahr"), "-1") << "the rule holds for defaults too";
    EXPECT_EQ(settings.GetRegSetting("E", "0").size(), 1024);
    EXPECT_EQ(settings.GetRegSetting("F", "0"), "0") << "longer than the read buffer";
}

TEST(Settings, NumbersInTheLocaleFormFirstThenPlain)
{
    const QLocale german(QLocale::German, QLocale::Germany);
    double v = 0;
    EXPECT_TRUE(cp::SettingToNumber("-120,5", german, &v) && v == -120.5);
    EXPECT_TRUE(cp::SettingToNumber("1.5", german, &v) && v == 1.5) << "the plain form as a fallback";
    EXPECT_FALSE(cp::SettingToNumber("links", german, &v));
    EXPECT_EQ(cp::BooleanTrueText(german), "Wahr");
    EXPECT_EQ(cp::BooleanTrueText(QLocale(QLocale::English)), "True");
}

TEST(ErrorReport, TextCaptionAndNumbers)
{
    EXPECT_EQ(cp::ReportErrorCaption(53), "Fehler 53");
    ASSERT_FALSE(cp::ContactAddress().isEmpty());
    EXPECT_EQ(cp::ReportErrorText("tlbMain_ButtonClick", "kaputt", "\r"),
              "In der Prozedur 'tlbMain_ButtonClick' trat folgender Fehler auf: kaputt\r\r"
              "Die Arbeit mit Chunk Picker kann wahrscheinlich fortgesetzt werden.\r"
              "Falls dieser Fehler durch eine Änderung am Programm behoben werden kann, beschreiben Sie die zum "
              "Fehler führenden Schritte ausführlich, und schicken Sie den Report an '"
                  + cp::ContactAddress() + "'. Vielen Dank!");
    const std::pair<int, int> numbers[] = {{ENOENT, 53}, {ENOTDIR, 76}, {EROFS, 70}, {EFBIG, 61},
                                           {EIO, 57},    {ENOMEM, 7},   {EISDIR, 75}};
    for (const auto& [error, number] : numbers)
        EXPECT_EQ(cp::ErrorNumberForSystemError(error), number) << error;
}

} // namespace
