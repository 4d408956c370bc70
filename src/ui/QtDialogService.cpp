#include "QtDialogService.h"

#include "FolderPickerDialog.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace {

QWidget* dialogOwner()
{
    return QApplication::activeWindow();
}

QMessageBox::Icon iconOf(MessageKind kind)
{
    switch (kind) {
    case MessageKind::Plain: return QMessageBox::NoIcon;
    case MessageKind::Information: return QMessageBox::Information;
    case MessageKind::Warning: return QMessageBox::Warning;
    case MessageKind::Error: return QMessageBox::Critical;
    case MessageKind::Confirmation: return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

DialogAnswer answerOf(int button)
{
    switch (button) {
    case QMessageBox::Ok: return DialogAnswer::Ok;
    case QMessageBox::Yes: return DialogAnswer::Yes;
    case QMessageBox::No: return DialogAnswer::No;
    default: return DialogAnswer::Cancel;
    }
}

} // namespace

DialogAnswer QtDialogService::showMessage(MessageKind kind, const QString& caption, const QString& text,
                                          DialogButtons buttons)
{
    QMessageBox box(iconOf(kind), caption.isEmpty() ? QApplication::applicationDisplayName() : caption, text,
                    QMessageBox::NoButton, dialogOwner());
    // Escape and the close button give the answer that changes nothing.
    switch (buttons) {
    case DialogButtons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Ok);
        break;
    case DialogButtons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    case DialogButtons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setEscapeButton(QMessageBox::No);
        break;
    case DialogButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    }
    box.exec();
    // Without a clicked button (the box was closed another way) the escape button counts.
    QAbstractButton* clicked = box.clickedButton() ? box.clickedButton() : box.escapeButton();
    const DialogAnswer answer = answerOf(box.standardButton(clicked));
    if (buttons == DialogButtons::YesNo && answer == DialogAnswer::Cancel)
        return DialogAnswer::No;
    return answer;
}

std::optional<QString> QtDialogService::inputText(const QString& caption, const QString& prompt,
                                                  const QString& initial)
{
    bool ok = false;
    const QString text = QInputDialog::getText(dialogOwner(), caption, prompt, QLineEdit::Normal, initial, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

std::optional<QString> QtDialogService::pickFolder(const QString& title,
                                                   const std::function<bool(const QString&)>& acceptable)
{
    FolderPickerDialog picker(title, acceptable, dialogOwner());
    if (picker.exec() != QDialog::Accepted)
        return std::nullopt;
    return picker.selectedFolder();
}

QStringList QtDialogService::openFiles(const QString& caption, const QString& filter, bool multiple,
                                       const QString& folder)
{
    if (multiple)
        return QFileDialog::getOpenFileNames(dialogOwner(), caption, folder, qtFileFilter(filter));
    const QString file = QFileDialog::getOpenFileName(dialogOwner(), caption, folder, qtFileFilter(filter));
    return file.isEmpty() ? QStringList() : QStringList{file};
}

std::optional<QString> QtDialogService::saveFile(const QString& caption, const QString& filter, const QString& folder)
{
    const QString file = QFileDialog::getSaveFileName(dialogOwner(), caption, folder, qtFileFilter(filter));
    if (file.isEmpty())
        return std::nullopt;
    return file;
}

QString qtFileFilter(const QString& filter)
{
    if (!filter.contains(QLatin1Char('|')))
        return filter;
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& pattern : patterns) {
            pattern = pattern.trimmed();
            // "*.*" means every file on Windows; Qt's "*.*" would miss names without a dot.
            if (pattern == QLatin1String("*.*"))
                pattern = QStringLiteral("*");
        }
        QString description = parts[i].trimmed();
        // A description that already lists its patterns keeps them once.
        const qsizetype open = description.lastIndexOf(QLatin1Char('('));
        if (open > 0 && description.endsWith(QLatin1Char(')')))
            description = description.left(open).trimmed();
        filters << description + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return filters.join(QStringLiteral(";;"));
}

std::optional<int> QtDialogService::chooseItem(const QString& caption, const QString& prompt, const QStringList& items)
{
    if (items.isEmpty())
        return std::nullopt;
    QInputDialog dialog(dialogOwner());
    dialog.setWindowTitle(caption);
    dialog.setLabelText(prompt);
    dialog.setComboBoxItems(items);
    dialog.setComboBoxEditable(false);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const int chosen = static_cast<int>(items.indexOf(dialog.textValue()));
    return chosen >= 0 ? std::optional<int>(chosen) : std::nullopt;
}
