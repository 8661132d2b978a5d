// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Dialogs that answer from a script instead of a person, for the window's
// tests and benchmarks. Every request is recorded; an empty script cancels.
#include "logic/UserDialogs.h"

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace cptest {

struct ScriptedDialogs final : cp::UserDialogs {
    std::deque<OpenFileResult> files; // each script is answered in turn
    std::deque<std::string> saveAs, folders;
    std::deque<Replace> replies;                             // none left: No
    std::deque<bool> ticks;                                  // the notice's box
    std::function<bool()> keepCopying = [] { return true; }; // false: Cancel in the progress window
    std::function<void()> onMessage = [] {};                 // called as a message shows
    cp::UserDialogs* boxes = nullptr; // when set, its question, progress window, notice and warning instead
    std::vector<OpenFile> opened;
    std::vector<SaveFile> saved;
    std::vector<std::string> folderStarts, questions, notices, messages; // messages: caption, then text
    std::vector<std::string> progressShown;                              // "done/total" of each update
    std::string offeredAll; // per question a 1 where it offered "all" for the other files, else a 0

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
        return Next(saveAs);
    }
    std::optional<std::string> browseForFolder(cp::DialogOwner, const std::string& title,
                                               const std::string& start) override
    {
        folderStarts.push_back(title + ":" + start);
        std::optional<std::string> answer = Next(folders);
        if (answer && answer->empty())
            answer.reset();
        return answer;
    }
    Replace askReplace(cp::DialogOwner o, const std::string& p, const std::string& link, bool all) override
    {
        if (boxes)
            return boxes->askReplace(o, p, link, all);
        offeredAll += all ? "1" : "0";
        if (link.empty())
            questions.push_back(p);
        else
            questions.push_back(p + " → " + link);
        return Next(replies).value_or(Replace::No);
    }
    struct Scripted final : Progress {
        std::function<bool()>& keepGoing;
        std::vector<std::string>& shown;
        Scripted(std::function<bool()>& k, std::vector<std::string>& s) : keepGoing(k), shown(s) {}
        bool update(std::int64_t done, std::int64_t total) override
        {
            shown.push_back(std::to_string(done) + "/" + std::to_string(total));
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
        notices.push_back(text);
        return Next(ticks).value_or(false);
    }
    void message(cp::DialogOwner, const std::string& caption, const std::string& text) override
    {
        messages.push_back(caption);
        messages.push_back(text);
        onMessage();
    }
    void warning(cp::DialogOwner o, const std::string& c, const std::string& t) override
    {
        if (boxes) {
            boxes->warning(o, c, t);
            return;
        }
        messages.push_back(c);
        messages.push_back(t);
    }
};

} // namespace cptest
