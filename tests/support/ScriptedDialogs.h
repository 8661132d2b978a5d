// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Dialogs that answer from a script instead of a person, for the window's
// tests and benchmarks. Every request is recorded; an empty script cancels.
#include "logic/UserDialogs.h"

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
    std::optional<OpenFileResult> openFile(cp::DialogOwner, const OpenFile& r) override
    {
        opened.push_back(r);
        return Next(files);
    }
    std::optional<std::string> saveFile(cp::DialogOwner, const SaveFile& r) override
    {
        saved.push_back(r);
        const std::optional<QString> answer = Next(saveAs);
        if (!answer)
            return std::nullopt;
        return answer->toStdString();
    }
    std::optional<std::string> browseForFolder(cp::DialogOwner, const std::string& title,
                                               const std::string& start) override
    {
        folderStarts << QString::fromStdString(title + ":" + start);
        const std::optional<QString> answer = Next(folders);
        if (!answer || answer->isEmpty())
            return std::nullopt;
        return answer->toStdString();
    }
    Replace askReplace(cp::DialogOwner o, const std::string& p, const std::string& link, bool all) override
    {
        if (boxes)
            return boxes->askReplace(o, p, link, all);
        questions << QString::fromStdString(link.empty() ? p : p + " → " + link);
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
    std::unique_ptr<Progress> progress(cp::DialogOwner o, const std::string& l) override
    {
        if (boxes)
            return boxes->progress(o, l);
        return std::make_unique<Scripted>(keepCopying, progressShown);
    }
    bool notice(const std::string& text) override
    {
        if (boxes)
            return boxes->notice(text);
        notices << QString::fromStdString(text);
        return Next(ticks).value_or(false);
    }
    void message(cp::DialogOwner, const std::string& caption, const std::string& text) override
    {
        messages << QString::fromStdString(caption) << QString::fromStdString(text);
        onMessage();
    }
    void warning(cp::DialogOwner o, const std::string& c, const std::string& t) override
    {
        if (boxes)
            boxes->warning(o, c, t);
        else
            messages << QString::fromStdString(c) << QString::fromStdString(t);
    }
};

} // namespace cptest
