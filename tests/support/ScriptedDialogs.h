// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Dialogs that answer from a script instead of a person, for the window's
// tests and benchmarks. Every request is recorded; an empty script cancels.
#include "dialogs/UserDialogs.h"

#include <QStringList>

#include <deque>
#include <functional>

namespace cptest {

struct ScriptedDialogs final : cp::UserDialogs {
    std::deque<OpenFileResult> files; // each script is answered in turn
    std::deque<QString> saveAs, folders;
    std::deque<Replace> replies;                             // none left: No
    std::deque<bool> ticks;                                  // the notice's box
    std::function<bool()> keepCopying = [] { return true; }; // false: Cancel in the progress window
    std::function<void()> onMessage = [] {};                 // called as a message shows
    cp::UserDialogs* boxes = nullptr; // when set, its question, progress window, notice and warning instead
    std::vector<OpenFile> opened;
    std::vector<SaveFile> saved;
    QStringList folderStarts, questions, notices, messages; // messages: caption, then text
    QStringList progressShown;                              // "done/total" of each update

    template <typename T> static std::optional<T> Next(std::deque<T>& script)
    {
        std::optional<T> answer;
        if (!script.empty()) {
            answer = script.front();
            script.pop_front();
        }
        return answer;
    }
    std::optional<OpenFileResult> openFile(QWidget*, const OpenFile& r) override
    {
        opened.push_back(r);
        return Next(files);
    }
    std::optional<QString> saveFile(QWidget*, const SaveFile& r) override
    {
        saved.push_back(r);
        return Next(saveAs);
    }
    QString browseForFolder(QWidget*, const QString& title, const QString& start) override
    {
        folderStarts << title + ":" + start;
        return Next(folders).value_or(QString());
    }
    Replace askReplace(QWidget* o, const QString& p, const QString& link, bool all) override
    {
        if (boxes)
            return boxes->askReplace(o, p, link, all);
        questions << (link.isEmpty() ? p : p + " → " + link);
        return Next(replies).value_or(Replace::No);
    }
    struct Scripted final : Progress {
        std::function<bool()>& keepGoing;
        QStringList& shown;
        Scripted(std::function<bool()>& k, QStringList& s) : keepGoing(k), shown(s) {}
        bool update(std::int64_t done, std::int64_t total) override
        {
            shown << QString::number(done) + "/" + QString::number(total);
            return keepGoing();
        }
    };
    std::unique_ptr<Progress> progress(QWidget* o, const QString& l) override
    {
        if (boxes)
            return boxes->progress(o, l);
        return std::make_unique<Scripted>(keepCopying, progressShown);
    }
    bool notice(const QString& text) override
    {
        if (boxes)
            return boxes->notice(text);
        notices << text;
        return Next(ticks).value_or(false);
    }
    void message(QWidget*, const QString& caption, const QString& text) override
    {
        messages << caption << text;
        onMessage();
    }
    void warning(QWidget* o, const QString& c, const QString& t) override
    {
        if (boxes)
            boxes->warning(o, c, t);
        else
            messages << c << t;
    }
};

} // namespace cptest
