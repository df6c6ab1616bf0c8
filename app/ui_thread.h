// Reaching the UI thread from the device worker, the device thread and the library's threads.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <string_view>

#include "program/device_worker.h"
#include "program/link_relay.h"
#include "skin/qt_text.h"
#include "texts/language_texts.h"

namespace vornak {

// Queued: runs later on the thread of context; dropped when context is gone.
UiPoster MakeUiPoster(QObject* context);
// Blocking queued: runs on the thread of context and returns once it has run. Never from that thread.
UiBlockingCall MakeUiBlockingCall(QObject* context);

// A language text, read at start-up or from the language file now, as the text table says.
QString LanguageText(const LanguageTexts& texts, TextId id);

}  // namespace vornak
