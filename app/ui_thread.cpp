#include "app/ui_thread.h"

#include <QMetaObject>
#include <QThread>

namespace vornak {

UiPoster MakeUiPoster(QObject* context) {
    QPointer<QObject> target(context);
    return [target](std::function<void()> call) {
        if (target) QMetaObject::invokeMethod(target, std::move(call), Qt::QueuedConnection);
    };
}

UiBlockingCall MakeUiBlockingCall(QObject* context) {
    QPointer<QObject> target(context);
    return [target](std::function<void()> call) {
        if (!target) return;
        if (QThread::currentThread() == target->thread()) {
            call();
            return;
        }
        QMetaObject::invokeMethod(target, std::move(call), Qt::BlockingQueuedConnection);
    };
}

QString LanguageText(const LanguageTexts& texts, TextId id) {
    if (TextInfo(id).load == TextLoad::Shown) return ToQt(texts.ReadNow(id));
    return ToQt(texts[id]);
}

}  // namespace vornak
