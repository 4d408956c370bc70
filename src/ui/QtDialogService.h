#pragma once

#include "DialogService.h"

// The dialog service of the running program: Qt's message box, input box and file dialogs,
// and the folder picker of our own, each owned by the active window.
class QtDialogService : public DialogService {
public:
    DialogAnswer showMessage(MessageKind kind, const QString& caption, const QString& text,
                             DialogButtons buttons = DialogButtons::Ok) override;
    std::optional<QString> inputText(const QString& caption, const QString& prompt, const QString& initial) override;
    std::optional<QString> pickFolder(const QString& title, const std::function<bool(const QString&)>& acceptable) override;
    QStringList openFiles(const QString& caption, const QString& filter, bool multiple,
                          const QString& folder = QString()) override;
    std::optional<QString> saveFile(const QString& caption, const QString& filter,
                                    const QString& folder = QString()) override;
    std::optional<int> chooseItem(const QString& caption, const QString& prompt, const QStringList& items) override;
};

// A file filter in Qt's form. Filters written as pairs of description and patterns separated
// by "|" ("Models|*.dff|All files|*.*") are turned into "Models (*.dff);;All files (*)";
// a filter without "|" is taken as Qt's form already.
QString qtFileFilter(const QString& filter);
