#pragma once

// Dialogs that answer from a script instead of a person, for the window's
// tests and benchmarks. Every request is recorded; an empty script cancels.
#include "dialogs/UserDialogs.h"

#include <QStringList>

#include <deque>
#include <functional>

namespace cptest {

struct ScriptedDialogs final : cp::UserDialogs {
    std::deque<OpenFileResult> files; // Open answers, in turn
    std::vector<OpenFile> opened;
    std::deque<QString> saveAs; // Save answers, in turn
    std::vector<SaveFile> saved;
    std::deque<QString> folders; // folder picker answers, in turn
    QStringList folderStarts;
    std::deque<Replace> replies; // replace answers, in turn; none left: No
    QStringList questions;
    std::function<bool()> keepCopying = [] { return true; }; // the progress window's Cancel
    std::deque<bool> ticks; // the notice's box, in turn
    QStringList notices;
    QStringList messages; // caption, then text

    template <typename T> static std::optional<T> Next(std::deque<T>& answers)
    {
        if (answers.empty())
            return std::nullopt;
        T answer = answers.front();
        return answers.pop_front(), answer;
    }
    std::optional<OpenFileResult> openFile(QWidget*, const OpenFile& request) override
    {
        return opened.push_back(request), Next(files);
    }
    std::optional<QString> saveFile(QWidget*, const SaveFile& request) override
    {
        return saved.push_back(request), Next(saveAs);
    }
    QString browseForFolder(QWidget*, const QString& title, const QString& initialPath) override
    {
        folderStarts << title + ":" + initialPath;
        return Next(folders).value_or(QString());
    }
    Replace askReplace(QWidget*, const QString& path, bool) override
    {
        questions << path;
        return Next(replies).value_or(Replace::No);
    }
    struct ScriptedProgress final : Progress {
        std::function<bool()>& keepGoing;
        explicit ScriptedProgress(std::function<bool()>& k) : keepGoing(k) {}
        bool update(std::int64_t, std::int64_t) override { return keepGoing(); }
    };
    std::unique_ptr<Progress> progress(QWidget*, const QString&) override
    {
        return std::make_unique<ScriptedProgress>(keepCopying);
    }
    bool notice(const QString& text) override { return notices << text, Next(ticks).value_or(false); }
    void message(QWidget*, const QString& caption, const QString& text) override { messages << caption << text; }
    void warning(QWidget*, const QString& caption, const QString& text) override { messages << caption << text; }
};

} // namespace cptest
