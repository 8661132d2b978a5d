// SPDX-License-Identifier: GPL-3.0-or-later
// Settings store and error report: the QtCore part.
#include "core/ErrorReport.h"
#include "core/SettingsStore.h"
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
    const auto store
        = [] { return QSettings(QSettings::NativeFormat, QSettings::UserScope, "Oxbrook", "Chunkpicker"); };
    const struct {
        QString name, stored, fallback, read;
    } values[] = {
        {"FFLDir", "/home/ich/Spiele, alt", "x", "/home/ich/Spiele, alt"},
        {"A", "Wahr", "0", "-1"},
        {"B", "True", "0", "-1"},
        {"C", "wahr", "0", "wahr"},
        {"D", "", "0", "0"},
        {"E", "", "Wahr", "-1"}, // empty is absent; defaults convert too
        {"F", QString(1024, 'x'), "0", QString(1024, 'x')},
        {"G", QString(1025, 'x'), "0", "0"}, // the read buffer's size
    };
    {
        QSettings qs = store();
        cp::SettingsStore settings(qs);
        EXPECT_EQ(settings.value("Filter", 0), "0") << "first start: defaults";
        for (const auto& v : values)
            settings.setValue(v.name, v.stored);
        settings.sync();
    }
    const std::string file = dir / "Oxbrook/Chunkpicker.conf"; // another tool may write a list without quotes
    WriteFile(file, Concat({ReadFile(file), Text("Handmade=/a,/b\n")}));
    QSettings qs = store();
    cp::SettingsStore settings(qs);
    EXPECT_EQ(settings.value("Handmade", ""), "/a,/b");
    double number = 0; // in the user's form first, then in the plain one
    EXPECT_TRUE(cp::settingToNumber("-120,5", QLocale(QLocale::German), &number));
    EXPECT_EQ(number, -120.5);
    for (const auto& v : values)
        EXPECT_EQ(settings.value(v.name, v.fallback), v.read) << v.name.toStdString();
}

TEST(ErrorReport, TextCaptionAndNumbers)
{
    ASSERT_FALSE(cp::contactAddress().isEmpty());
    EXPECT_EQ(cp::reportErrorText("tlbMain_ButtonClick", "kaputt", "\r"),
              "In der Prozedur 'tlbMain_ButtonClick' trat folgender Fehler auf: kaputt\r\r"
              "Die Arbeit mit Chunk Picker kann wahrscheinlich fortgesetzt werden.\r"
              "Falls dieser Fehler durch eine Änderung am Programm behoben werden kann, beschreiben Sie die zum "
              "Fehler führenden Schritte ausführlich, und schicken Sie den Report an '"
                  + cp::contactAddress() + "'. Vielen Dank!");
    QString numbers; // stable, so that a report can be matched
    for (const int error : {ENOENT, ENOTDIR, EROFS, EFBIG, EIO, ENOMEM, EISDIR, EDQUOT})
        numbers += QString::number(cp::errorNumberForSystemError(error)) + " ";
    EXPECT_EQ(numbers, "53 76 70 61 57 7 75 61 ");
}

} // namespace
