// SPDX-License-Identifier: GPL-3.0-or-later
// chunkpicker-extract [options] SOURCE... FOLDER: the batch run over several
// sources, each entry written as its original file where the options ask.
#include "base/ProgramEntry.h"
#include "base/Version.h"
#include "batch/ExtractRun.h"
#include "batch/LocaleNumberStyle.h"
#include "batch/StopSignals.h"

#include <clocale>
#include <cstdio>

namespace {

constexpr const char* kUsage
    = "Syntax:  chunkpicker-extract  [--trim] [--names] [--types] [--originals] [--json]  [--]  Quelldatei...  "
      "Zielverz";
constexpr const char* kHelp
    = "\n         chunkpicker-extract  --help | --version\n\n"
      "Schreibt jeden Eintrag jeder Quelldatei in das Zielverzeichnis, wie der Stapelbetrieb: ein Eintrag beginnt an\n"
      "einem RIFF-Kennzeichen und reicht bis zum nächsten oder zum Dateiende. Die Optionen holen die ursprünglichen\n"
      "Dateien zurück:\n\n"
      "  --trim       jeden Eintrag auf die Länge kürzen, die sein RIFF-Kopf angibt (samt Füllbyte); steht direkt\n"
      "               vor dem Kennzeichen ein Archivkopf (tar, cpio, zip ungepackt), gilt dessen Größe. Ein Kopf, der\n"
      "               nicht zu trauen ist (die Chunks gehen über ihn hinaus), lässt den Eintrag ganz\n"
      "  --names      der Name aus den Daten: des Archivmitglieds, sonst der Titel (LIST/INFO INAM), sonst die\n"
      "               Nummer; ein vergebener Name bekommt eine Nummer, \"Tür (2).wav\", nie wird etwas ersetzt\n"
      "  --types      die Endung der RIFF-Form: .wav .avi .webp .sf2 .ani .rmi .dls, sonst .riff\n"
      "  --originals  alle drei\n"
      "  --json       statt der Zusammenfassungen ein JSON-Array, ein Objekt je geschriebener Datei: source,\n"
      "               number, offset (ab 0), length, written_length, name, form, verdict, length_from,\n"
      "               length_reason, name_from\n"
      "  --           alles Weitere sind Dateien, auch wenn sie mit - beginnen\n"
      "  --help       diese Hilfe\n"
      "  --version    die Version\n\n"
      "Die Einträge aller Quelldateien kommen in das eine Zielverzeichnis; die Namen nach Nummern tragen den Namen\n"
      "ihrer Quelldatei (\"Sound001 aus x.pak.wav\"), das Manifest nennt zu jeder Datei ihre Quelle.\n\n"
      "Exit-Status: 0 alles geschrieben, 1 etwas nicht geschrieben (die Meldung nennt es), 2 falscher Aufruf oder\n"
      "Zielverzeichnis nicht gefunden, 130 abgebrochen.\n";

int printed(int written)
{
    return written < 0 || std::fflush(stdout) != 0 ? 1 : 0;
}

} // namespace

int programMain(const std::vector<std::string>& arguments)
{
    std::setlocale(LC_ALL, ""); // the user's number format and the system's error texts
    cp::keepRunningPastFileSizeLimit();
    cp::ExtractRequest request;
    switch (cp::parseExtractArguments(arguments, request)) {
    case cp::ExtractCall::Help: return printed(std::printf("%s%s", kUsage, kHelp));
    case cp::ExtractCall::Version: return printed(std::printf("%s %s\n", cp::kExtractProgram, cp::kVersion));
    case cp::ExtractCall::Wrong: std::fprintf(stderr, "%s\n", kUsage); return 2;
    case cp::ExtractCall::Run: break;
    }
    return cp::runExtract(request, cp::localeNumberStyle(), stdout, stderr, cp::stopOnSignals());
}
