#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QWidget;

enum class MessageKind { Plain, Information, Warning, Error, Confirmation };
enum class DialogButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class DialogAnswer { Ok, Cancel, Yes, No };

// Every message box, question, input box, folder picker and file dialog of the program
// goes through the one service installed here, so tests can answer them.
class DialogService {
public:
    virtual ~DialogService() = default;

    virtual DialogAnswer showMessage(MessageKind kind, const QString& caption, const QString& text,
                                     DialogButtons buttons = DialogButtons::Ok) = 0;
    // Nothing when cancelled.
    virtual std::optional<QString> inputText(const QString& caption, const QString& prompt,
                                             const QString& initial) = 0;
    // The game folder picker: OK is enabled only for folders `acceptable` allows (no rule: all).
    // Nothing when cancelled.
    virtual std::optional<QString> pickFolder(const QString& title, const std::function<bool(const QString&)>& acceptable) = 0;
    // File dialogs open in `folder` when one is given.
    virtual QStringList openFiles(const QString& caption, const QString& filter, bool multiple,
                                  const QString& folder = QString()) = 0;
    virtual std::optional<QString> saveFile(const QString& caption, const QString& filter,
                                            const QString& folder = QString()) = 0;
    // One item of a list chosen; its index, nothing when cancelled (a service that offers no
    // lists cancels).
    virtual std::optional<int> chooseItem(const QString& /*caption*/, const QString& /*prompt*/,
                                          const QStringList& /*items*/)
    {
        return std::nullopt;
    }
};

// The installed service (Qt's dialogs until another is installed). Returns the previous one.
DialogService& dialogs();
DialogService* setDialogService(DialogService* service);

// Sends the core's notices for the user (Log.h) to a plain message box of the installed
// service. Called once by the program entry.
void installUserNoticeDialogs();
