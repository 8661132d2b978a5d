// SPDX-License-Identifier: GPL-3.0-or-later
// Settings store, number formats, progress line and error report.
#include "base/ErrorNumbers.h"
#include "base/NumberFormat.h"
#include "base/ShownPath.h"
#include "batch/BatchRun.h"
#include "batch/BatchProgress.h"
#include "batch/Terminal.h"
#include "display/Display.h"
#include "logic/ErrorReport.h"
#include "logic/SettingsStore.h"
#include "saving/CopyQuestions.h"
#include "support/Fixtures.h"
#include "window/QtNumberStyle.h"
#include "window/QtSettings.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QLocale>
#include <QSettings>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <thread>
#include <tuple>

using namespace cptest;

namespace {

TEST(Settings, RoundTripThroughTheUsersConfigFileAsText)
{
    TempDir dir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString(dir.path()));
    const auto store
        = [] { return QSettings(QSettings::NativeFormat, QSettings::UserScope, "Oxbrook", "Chunkpicker"); };
    // A name, the value stored, the fallback, the value read back.
    const std::tuple<std::string, std::string, std::string, std::string> values[] = {
        {"FFLDir", "/home/ich/Spiele, alt", "x", "/home/ich/Spiele, alt"},
        {"A", "Wahr", "0", "-1"},
        {"B", "True", "0", "-1"},
        {"C", "wahr", "0", "wahr"},
        {"D", "", "0", "0"},
        {"E", "", "Wahr", "-1"}, // empty is absent; defaults convert too
        {"F", std::string(1024, 'x'), "0", std::string(1024, 'x')},
        {"G", std::string(1025, 'x'), "0", "0"}, // the read buffer's size
    };
    {
        QSettings qs = store();
        cp::QtSettings backend(qs);
        cp::SettingsStore settings(backend);
        EXPECT_EQ(settings.value("Filter", 0), "0") << "first start: defaults";
        for (const auto& [name, stored, fallback, read] : values)
            settings.setValue(name, stored);
        settings.sync();
    }
    const std::string file = dir / "Oxbrook/Chunkpicker.conf"; // another tool may write a list without quotes
    WriteFile(file, Concat({ReadFile(file), Text("Handmade=/a,/b\n")}));
    QSettings qs = store();
    cp::QtSettings backend(qs);
    cp::SettingsStore settings(backend);
    EXPECT_EQ(settings.value("Handmade", ""), "/a,/b");
    for (const auto& [name, stored, fallback, read] : values)
        EXPECT_EQ(settings.value(name, fallback), read) << name;
}

TEST(NumberFormat, ReadInTheUsersFormFirstThenInThePlainOne)
{
    const cp::NumberStyle german = cp::NumberStyle::germanStyle();
    // text, read in German, read in the C form; NaN: no number
    const double none = std::nan("");
    const std::tuple<const char*, double, double> rows[] = {
        {" -120,5 ", -120.5, none}, {"1.500", 1500, 1.5}, {"1.5", 1.5, 1.5},    {"1.234.567,5", 1234567.5, none},
        {"12,50", 12.5, none},      {"1,500", 1.5, 1500}, {".5", 0.5, 0.5},     {"1..500", none, none},
        {"", none, none},           {"abc", none, none},  {"0x1A", none, none}, {"nan", none, none},
    };
    for (const auto& [text, inGerman, inC] : rows) {
        for (const auto& [style, expected] : {std::pair(german, inGerman), std::pair(cp::NumberStyle(), inC)}) {
            double number = -7;
            const bool read = cp::parseNumber(text, style, &number);
            EXPECT_EQ(read, !std::isnan(expected)) << text << " " << style.decimalPoint;
            if (read) {
                EXPECT_EQ(number, expected) << text << " " << style.decimalPoint;
            }
        }
    }
    double read = 0;
    EXPECT_TRUE(cp::parseNumber("+2,5E3", german, &read) && read == 2500) << "a sign and an exponent";
}

TEST(NumberFormat, WrittenAndReadAsQtsLocalesDoWithoutQt)
{
    const char* names[] = {"C", "de_DE", "en_US", "es_ES", "hi_IN", "ar_EG", "sv_SE", "fr_FR", "de_CH", "my_MM"};
    const std::int64_t integers[] = {0, 7, 1234, 12345, 1234567, -1234567, 2147483648};
    // Halves away from zero, as Qt rounds them; 0.15 lies below its half.
    const double decimals[] = {0.25, 1.25, 0.15, 2.45, 1234.55, -2.5, 999.95, 0.04};
    for (const char* name : names) {
        for (const bool omitted : {false, true}) { // set so by the user, our grouped figures keep their groups
            QLocale locale(QString::fromLatin1(name));
            if (omitted)
                locale.setNumberOptions(QLocale::OmitGroupSeparator);
            QLocale grouped = locale;
            grouped.setNumberOptions(QLocale::DefaultNumberOptions);
            const cp::NumberStyle style = cp::numberStyleOf(locale);
            for (const std::int64_t n : integers) {
                EXPECT_EQ(cp::formatGrouped(n, style), grouped.toString(qlonglong(n)).toStdString())
                    << name << " " << n;
                EXPECT_EQ(cp::formatNumber(n, style), locale.toString(qlonglong(n)).toStdString()) << name << " " << n;
                double read = 0;
                EXPECT_TRUE(cp::parseNumber(grouped.toString(qlonglong(n)).toStdString(), style, &read) && read == n)
                    << name << " " << n;
            }
            for (const double d : decimals)
                EXPECT_EQ(cp::formatOneDecimal(d, style), grouped.toString(d, 'f', 1).toStdString())
                    << name << " " << d;
        }
    }
}

TEST(BatchProgress, TheLineWeighsSearchingAndWritingInTheUnitOfTheWhole)
{
    using I = std::int64_t;
    const std::tuple<I, I, I, I, I, double, const char*> rows[] = {
        {0, 0, 0, 0, 0, 0, "100 % · 0 Einträge · 0 von 0 Byte · 0 Byte/s"},
        {10000, 2500, 0, 0, 0, 1, "25 % · 0 Einträge · 0,0 von 9,8 KiB · 2 KiB/s · noch 3 s"},
        // 100 bytes searched before the first tag, 400 of the 1,023 after it written (one short of a KiB)
        {1123, 900, 101, 2, 400, 0.5, "44 % · 2 Einträge · 400 von 1.023 Byte · 1.000 Byte/s · noch 1 s"},
        {std::int64_t(3) << 30, std::int64_t(2) << 30, 1025, 3712, 1288490188, 41,
         "40 % · 3.712 Einträge · 1,2 von 3,0 GiB · 30 MiB/s · noch 1 min 2 s"},
        {std::int64_t(1) << 62, std::int64_t(1) << 61, 0, 0, 0, 93540,
         "50 % · 0 Einträge · 0,0 von 4.096,0 PiB · 22 TiB/s · noch 25 h 59 min"},
        {1024, 124, 0, 0, 0, 496, "12 % · 0 Einträge · 0,0 von 1,0 KiB · 0 Byte/s · noch 1 h 0 min"}, // exactly
        {1024, 1024, 1, 1, 1024, 1, "100 % · 1 Einträge · 1,0 von 1,0 KiB · 1 KiB/s · noch 0 s"},
    };
    for (const auto& [length, searched, firstTag, entries, written, seconds, line] : rows)
        EXPECT_EQ(cp::BatchProgress::progressLine(length, searched, firstTag, entries, written, seconds,
                                                  cp::NumberStyle::germanStyle()),
                  line);
    // A narrow terminal (room: one column less) loses whole fields, the time left last.
    const std::pair<int, const char*> narrow[] = {
        {79, "50 % · 98 Einträge · 1,0 von 2,0 GiB · 100 MiB/s · noch 11 s"},
        {39, "50 % · 98 Einträge · noch 11 s"},
        {30, "50 % · 98 Einträge · noch 11 s"}, // exactly its room
        {24, "50 % · noch 11 s"},
        {11, "noch 11 s"},
        {5, ""},
    };
    for (const auto& [room, line] : narrow)
        EXPECT_EQ(cp::BatchProgress::progressLine(std::int64_t(2) << 30, std::int64_t(1) << 30, 1, 98,
                                                  std::int64_t(1) << 30, 10.24, cp::NumberStyle::germanStyle(), room),
                  line)
            << room;
    EXPECT_EQ(cp::formatGrouped(1234567, cp::NumberStyle()) + " " + cp::formatOneDecimal(1234.56, cp::NumberStyle()),
              "1,234,567 1,234.6")
        << "grouped also where the locale leaves groups out";
}

TEST(Terminal, TextTheTerminalTakesInPiecesArrivesWholeAndInOrder)
{
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_TRUE(master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0);
    std::FILE* shown = std::fopen(::ptsname(master), "w");
    ASSERT_TRUE(shown);
    std::string text; // far more than a terminal buffers
    for (int i = 0; i < 50000; ++i)
        text += char('a' + i % 26);
    std::string arrived;
    std::thread reader([&] {
        char buffer[512];
        for (ssize_t n; (n = ::read(master, buffer, sizeof buffer)) > 0;)
            arrived.append(buffer, std::size_t(n));
    });
    {
        cp::Terminal terminal(shown);
        EXPECT_TRUE(terminal.isOpen());
        terminal.write(text.data(), text.size(), 60000);
    }
    std::fclose(shown); // the last of the terminal's side: the reader's end
    reader.join();
    ::close(master);
    EXPECT_EQ(arrived, text);
}

TEST(ShownTexts, PathsThatAreNoUtf8AndTheReplaceQuestion)
{
    EXPECT_EQ(cp::shownPath("T\xf6ne \xc3\xbc \x80\xe2\x82\xc3(.ffl \xc2\xa0\xe0\xa0\x80\xf0\x90\x80\x80"),
              "T\uFFFDne ü \uFFFD\uFFFD\uFFFD\uFFFD(.ffl \u00A0\u0800\U00010000");
    EXPECT_EQ(cp::batchSummary(0, 1000, 0, "/z", 1.0, cp::NumberStyle::germanStyle()),
              "0 Einträge mit 0 Byte nach /z geschrieben, nicht erkannte Daten: 100,0%")
        << "a file without a tag";
    EXPECT_EQ(cp::replaceQuestionText("/z/x.wav", "/z/\xff.wav"),
              "Die Datei „/z/x.wav“ ist bereits vorhanden.\nDie Verknüpfung zeigt auf: „/z/\uFFFD.wav“\n\n"
              "Möchten Sie sie ersetzen?");
}

TEST(ErrorReport, TextCaptionAndNumbers)
{
    ASSERT_FALSE(cp::contactAddress().empty());
    EXPECT_EQ(cp::reportErrorText("tlbMain_ButtonClick", "kaputt", "\r"),
              "In der Prozedur 'tlbMain_ButtonClick' trat folgender Fehler auf: kaputt\r\r"
              "Die Arbeit mit Chunk Picker kann wahrscheinlich fortgesetzt werden.\r"
              "Falls dieser Fehler durch eine Änderung am Programm behoben werden kann, beschreiben Sie die zum "
              "Fehler führenden Schritte ausführlich, und schicken Sie den Report an '"
                  + cp::contactAddress() + "'. Vielen Dank!");
    std::string numbers; // stable, so that a report can be matched
    for (const int error : {ENOENT, ENOTDIR, EROFS, EFBIG, EIO, ENOMEM, EISDIR, EDQUOT})
        numbers += std::to_string(cp::errorNumberForSystemError(error)) + " ";
    const auto report = [](auto thrown) { return cp::reportedError(std::make_exception_ptr(thrown)); };
    for (const auto& [number, description] : {report(std::bad_alloc()), report(std::logic_error("kaputt")), report(42)})
        numbers += std::to_string(number) + " " + description;
    EXPECT_EQ(numbers, "53 76 70 61 57 7 75 61 7 Nicht genügend Speicher51 kaputt51 unbekannter Fehler");
}

TEST(Display, AskedOfTheEnvironmentAndTheWaylandSocketBeforeQtStarts)
{
    TempDir dir;
    sockaddr_un address {AF_UNIX, {}};
    std::strcpy(address.sun_path, (dir / "wayland-0").c_str());
    const int listening = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_EQ(::bind(listening, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::listen(listening, 8);
    const std::string run = dir.path(), tooLong = dir / std::string(100, 'w');
    const char* names[] = {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY", "XDG_RUNTIME_DIR"};
    // the four variables, then what is found: None, Reachable or Unreachable
    const std::array<std::string, 5> rows[]
        = {{"offscreen", ":7391", "", "", "R"},  {"xcb;offscreen", "", "wayland-0", run, "U"},
           {"", "", "wayland-0", run, "R"},      {"wayland", "", "", run, "R"},
           {"", ":7391", "wayland-0", run, "U"}, {"wayland;xcb", "", "wayland-1", run, "U"},
           {"", "", "wayland-0", "", "U"},       {"wayland", "", address.sun_path, "", "R"},
           {"", "", tooLong, "", "U"},           {"", "", "", run, "N"}};
    for (const auto& row : rows) {
        for (int i = 0; i < 4; ++i)
            ::setenv(names[i], row[i].c_str(), 1);
        EXPECT_EQ("NRU"[int(cp::findDisplay())], row[4][0])
            << row[0] << "|" << row[1] << "|" << row[2] << "|" << row[3];
    }
    ::close(listening);
}

} // namespace
