#include "DialogService.h"

#include "Log.h"
#include "QtDialogService.h"

#include <string>

namespace {

DialogService*& installedService()
{
    static DialogService* service = nullptr;
    return service;
}

} // namespace

DialogService& dialogs()
{
    if (DialogService* service = installedService())
        return *service;
    static QtDialogService qtDialogs;
    return qtDialogs;
}

DialogService* setDialogService(DialogService* service)
{
    DialogService* previous = installedService();
    installedService() = service;
    return previous;
}

void installUserNoticeDialogs()
{
    setUserNoticeSink([](std::string_view text) {
        dialogs().showMessage(MessageKind::Plain, QString(),
                              QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    });
}
