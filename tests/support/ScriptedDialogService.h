#pragma once

#include "DialogService.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <optional>
#include <utility>
#include <vector>

// A dialog service for tests: records every message, question and picker it is asked for
// and answers from queues set up by the test. Installed for its lifetime.
class ScriptedDialogService : public DialogService {
public:
    struct Message {
        MessageKind kind;
        QString caption;
        QString text;
        DialogButtons buttons;
    };

    struct FolderRequest {
        QString title;
        bool hasRule;
    };

    struct FileRequest {
        QString caption;
        QString filter;
        QString folder;
    };

    ScriptedDialogService() : m_previous(setDialogService(this)) {}
    ~ScriptedDialogService() override { setDialogService(m_previous); }
    ScriptedDialogService(const ScriptedDialogService&) = delete;
    ScriptedDialogService& operator=(const ScriptedDialogService&) = delete;

    // Answers in order; when none is left, the answer that changes nothing (Ok for a plain
    // message, else Cancel, or No for a Yes/No question).
    std::deque<DialogAnswer> answers;
    // Texts for input boxes; nothing stands for Cancel; when empty, Cancel.
    std::deque<std::optional<QString>> inputTexts;
    // Folders for the folder picker; nothing stands for Cancel; when empty, Cancel.
    std::deque<std::optional<QString>> folderChoices;
    std::deque<QStringList> openFileChoices;
    std::deque<std::optional<QString>> saveFileChoices;
    // Indexes chosen from item lists; nothing stands for Cancel; when empty, Cancel.
    std::deque<std::optional<int>> itemChoices;
    // Each list offered: its prompt and items.
    std::vector<std::pair<QString, QStringList>> itemRequests;

    std::vector<Message> messages;
    std::vector<QString> inputPrompts;
    std::vector<FolderRequest> folderRequests;
    // Folders offered to the picker that its rule refused (as a disabled OK button would).
    std::vector<QString> refusedFolders;
    // Open and save dialogs in the order they were asked for.
    std::vector<FileRequest> fileRequests;

    QStringList messageTexts() const
    {
        QStringList texts;
        for (const Message& message : messages)
            texts << message.text;
        return texts;
    }

    DialogAnswer showMessage(MessageKind kind, const QString& caption, const QString& text,
                             DialogButtons buttons = DialogButtons::Ok) override
    {
        messages.push_back({kind, caption, text, buttons});
        if (!answers.empty()) {
            const DialogAnswer answer = answers.front();
            answers.pop_front();
            return answer;
        }
        switch (buttons) {
        case DialogButtons::Ok: return DialogAnswer::Ok;
        case DialogButtons::YesNo: return DialogAnswer::No;
        default: return DialogAnswer::Cancel;
        }
    }

    std::optional<QString> inputText(const QString& caption, const QString& prompt, const QString&) override
    {
        inputPrompts.push_back(caption + QStringLiteral(": ") + prompt);
        return take(inputTexts);
    }

    // The queued folder is offered to the rule; a folder the rule refuses cannot be
    // confirmed, so the picker counts as cancelled.
    std::optional<QString> pickFolder(const QString& title,
                                      const std::function<bool(const QString&)>& acceptable) override
    {
        folderRequests.push_back({title, static_cast<bool>(acceptable)});
        std::optional<QString> folder = take(folderChoices);
        if (folder && acceptable && !acceptable(*folder)) {
            refusedFolders.push_back(*folder);
            return std::nullopt;
        }
        return folder;
    }

    QStringList openFiles(const QString& caption, const QString& filter, bool, const QString& folder) override
    {
        fileRequests.push_back({caption, filter, folder});
        if (openFileChoices.empty())
            return {};
        QStringList files = openFileChoices.front();
        openFileChoices.pop_front();
        return files;
    }

    std::optional<QString> saveFile(const QString& caption, const QString& filter, const QString& folder) override
    {
        fileRequests.push_back({caption, filter, folder});
        return take(saveFileChoices);
    }

    std::optional<int> chooseItem(const QString&, const QString& prompt, const QStringList& items) override
    {
        itemRequests.emplace_back(prompt, items);
        if (itemChoices.empty())
            return std::nullopt;
        const std::optional<int> chosen = itemChoices.front();
        itemChoices.pop_front();
        return chosen;
    }

private:
    static std::optional<QString> take(std::deque<std::optional<QString>>& queue)
    {
        if (queue.empty() || !queue.front()) {
            if (!queue.empty())
                queue.pop_front();
            return std::nullopt;
        }
        const QString value = *queue.front();
        queue.pop_front();
        return value;
    }

    DialogService* m_previous;
};
