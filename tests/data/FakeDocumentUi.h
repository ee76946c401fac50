#pragma once
// A scripted front end for document tests: answers questions from a queue (Yes when empty),
// records every question and message, and hands out prepared file choices.

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "data/Document.h"

namespace rv::test {

class FakeDocumentUi : public DocumentUi {
public:
    bool AskYesNo(int messageId, const std::string& text) override
    {
        asked.push_back(messageId);
        questionTexts.push_back(text);
        if (answers.empty()) return true;
        bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
    SaveAnswer AskSaveChanges(int messageId, const std::string& text) override
    {
        asked.push_back(messageId);
        questionTexts.push_back(text);
        if (saveAnswers.empty()) return SaveAnswer::Cancel;
        SaveAnswer answer = saveAnswers.front();
        saveAnswers.pop_front();
        return answer;
    }
    void ShowMessage(int messageId, const std::string& text) override
    {
        shown.push_back(messageId);
        messageTexts.push_back(text);
    }
    std::optional<std::string> ChooseOpenPath() override { return openPath; }
    std::optional<SaveChoice> ChooseSavePath(const CDataFileHeader& header,
                                             const std::string& comment) override
    {
        offeredComment = comment;
        return saveChoice;
    }
    void CloseAllViews() override { ++closeAllViews; }
    void Refresh() override { ++refreshes; }
    void SetTitle(const std::string& t) override { title = t; }

    std::deque<bool> answers;
    std::deque<SaveAnswer> saveAnswers;
    std::vector<int> asked;
    std::vector<std::string> questionTexts;
    std::vector<int> shown;
    std::vector<std::string> messageTexts;
    std::optional<std::string> openPath;
    std::optional<SaveChoice> saveChoice;
    std::string offeredComment;
    std::string title;
    int closeAllViews = 0;
    int refreshes = 0;
};

}  // namespace rv::test
