#include "DialogService.h"
#include "Log.h"
#include "ModalDialogs.h"
#include "QtDialogService.h"
#include "ScriptedDialogService.h"

#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

struct MessageCase {
    MessageKind kind;
    DialogButtons buttons;
    QMessageBox::Icon icon;
    QMessageBox::StandardButtons shown;
    QMessageBox::StandardButton clicked; // NoButton: the box is left with Escape
    DialogAnswer answer;
};

} // namespace

TEST(QtDialogService, MessageBoxesShowTheKindsIconAndButtonsAndGiveTheAnswer)
{
    const MessageCase cases[] = {
        {MessageKind::Plain, DialogButtons::Ok, QMessageBox::NoIcon, QMessageBox::Ok, QMessageBox::Ok, DialogAnswer::Ok},
        {MessageKind::Information, DialogButtons::Ok, QMessageBox::Information, QMessageBox::Ok, QMessageBox::NoButton,
         DialogAnswer::Ok},
        {MessageKind::Warning, DialogButtons::OkCancel, QMessageBox::Warning, QMessageBox::Ok | QMessageBox::Cancel,
         QMessageBox::Ok, DialogAnswer::Ok},
        {MessageKind::Error, DialogButtons::OkCancel, QMessageBox::Critical, QMessageBox::Ok | QMessageBox::Cancel,
         QMessageBox::NoButton, DialogAnswer::Cancel},
        {MessageKind::Confirmation, DialogButtons::YesNo, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No,
         QMessageBox::Yes, DialogAnswer::Yes},
        {MessageKind::Confirmation, DialogButtons::YesNo, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No,
         QMessageBox::NoButton, DialogAnswer::No},
        {MessageKind::Confirmation, DialogButtons::YesNoCancel, QMessageBox::Question,
         QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::No, DialogAnswer::No},
        {MessageKind::Confirmation, DialogButtons::YesNoCancel, QMessageBox::Question,
         QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::NoButton, DialogAnswer::Cancel},
    };
    QtDialogService service;
    int index = 0;
    for (const MessageCase& c : cases) {
        SCOPED_TRACE(index++);
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QMessageBox::StandardButtons shown;
        QString text;
        QString title;
        whenModalOpens([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            ASSERT_NE(box, nullptr);
            icon = box->icon();
            shown = box->standardButtons();
            text = box->text();
            title = box->windowTitle();
            if (c.clicked == QMessageBox::NoButton)
                QTest::keyClick(box, Qt::Key_Escape);
            else
                QTest::mouseClick(box->button(c.clicked), Qt::LeftButton);
        });
        const DialogAnswer answer = service.showMessage(c.kind, QStringLiteral("Caption"),
                                                        QStringLiteral("Do you want to save changes?"), c.buttons);
        EXPECT_EQ(answer, c.answer);
        EXPECT_EQ(icon, c.icon);
        EXPECT_EQ(shown, c.shown);
        EXPECT_EQ(text, QStringLiteral("Do you want to save changes?"));
        EXPECT_EQ(title, QStringLiteral("Caption"));
    }
}

TEST(QtDialogService, InputBoxGivesTheTypedTextOrNothingWhenCancelled)
{
    QtDialogService service;
    QString label;
    whenModalOpens([&](QWidget* modal) {
        auto* input = qobject_cast<QInputDialog*>(modal);
        ASSERT_NE(input, nullptr);
        label = input->labelText();
        auto* edit = input->findChild<QLineEdit*>();
        ASSERT_NE(edit, nullptr);
        edit->selectAll();
        QTest::keyClicks(edit, QStringLiteral("My Mod, v2"));
        QTest::keyClick(edit, Qt::Key_Return);
    });
    const auto typed = service.inputText(QStringLiteral("Game description"),
                                         QStringLiteral("Enter this game / mod description"), QStringLiteral("old"));
    ASSERT_TRUE(typed.has_value());
    EXPECT_EQ(*typed, QStringLiteral("My Mod, v2"));
    EXPECT_EQ(label, QStringLiteral("Enter this game / mod description"));

    whenModalOpens([](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Escape); });
    EXPECT_FALSE(service.inputText(QStringLiteral("Game description"), QStringLiteral("prompt"), QString()).has_value());
}

TEST(DialogService, InstalledServiceAnswersUntilItIsRemoved)
{
    DialogService* const before = &dialogs();
    {
        ScriptedDialogService scripted;
        EXPECT_EQ(&dialogs(), &scripted);
        scripted.answers.push_back(DialogAnswer::Yes);
        EXPECT_EQ(dialogs().showMessage(MessageKind::Confirmation, QStringLiteral("c"), QStringLiteral("t"),
                                        DialogButtons::YesNo),
                  DialogAnswer::Yes);
        // Without a queued answer the question is declined.
        EXPECT_EQ(dialogs().showMessage(MessageKind::Confirmation, QString(), QStringLiteral("t"),
                                        DialogButtons::YesNoCancel),
                  DialogAnswer::Cancel);
        ASSERT_EQ(scripted.messages.size(), 2u);
        EXPECT_EQ(scripted.messages[0].buttons, DialogButtons::YesNo);
    }
    EXPECT_EQ(&dialogs(), before);
    EXPECT_NE(dynamic_cast<QtDialogService*>(&dialogs()), nullptr);
}

TEST(DialogService, UserNoticesOfTheCoreBecomePlainMessages)
{
    ScriptedDialogService scripted;
    const TextSink previous = setUserNoticeSink({});
    installUserNoticeDialogs();
    notifyUser("text parser not initialized.");
    setUserNoticeSink(previous);

    ASSERT_EQ(scripted.messages.size(), 1u);
    EXPECT_EQ(scripted.messages[0].kind, MessageKind::Plain);
    EXPECT_EQ(scripted.messages[0].caption, QString());
    EXPECT_EQ(scripted.messages[0].text, QStringLiteral("text parser not initialized."));
    EXPECT_EQ(scripted.messages[0].buttons, DialogButtons::Ok);
}

TEST(QtFileFilter, PairsSeparatedByBarsBecomeQtFilters)
{
    EXPECT_EQ(qtFileFilter(QStringLiteral("DFF Models|*.dff|All files|*.*")),
              QStringLiteral("DFF Models (*.dff);;All files (*)"));
    EXPECT_EQ(qtFileFilter(QStringLiteral("Map files (*.ipl;*.ide)|*.ipl;*.ide")),
              QStringLiteral("Map files (*.ipl *.ide)"));
    // Already in Qt's form: kept.
    EXPECT_EQ(qtFileFilter(QStringLiteral("Textures (*.txd);;All (*)")), QStringLiteral("Textures (*.txd);;All (*)"));
    EXPECT_EQ(qtFileFilter(QString()), QString());
}
