#include "widgets/level_meter.h"

#include <QPainter>
#include <algorithm>

#include "skin/palette.h"

namespace vornak {

namespace {

constexpr int kBarHeight = 8;

QColor LevelColour(LevelMeter::Level level) {
    switch (level) {
        case LevelMeter::Level::Warning:
            return palette::kMeterWarning;
        case LevelMeter::Level::Over:
            return palette::kMeterOver;
        default:
            return palette::kAccentDeep;
    }
}

}  // namespace

LevelMeter::LevelMeter(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TranslucentBackground);
}

void LevelMeter::SetCaption(const QString& caption) {
    caption_ = caption;
    update();
}

void LevelMeter::SetValue(qint64 value, qint64 maximum, Level level) {
    value_ = std::max<qint64>(0, value);
    maximum_ = std::max<qint64>(0, maximum);
    level_ = level;
    update();
}

void LevelMeter::SetTexts(const QString& amount, const QString& state) {
    amount_ = amount;
    state_ = state;
    setToolTip(state.isEmpty() ? amount : amount + QLatin1Char('\n') + state);
    update();
}

int LevelMeter::permille() const {
    if (maximum_ <= 0) return 0;
    return static_cast<int>(std::min<qint64>(1000, value_ * 1000 / maximum_));
}

void LevelMeter::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QFontMetrics metrics(font());
    const int line = metrics.height();
    const QColor text = palette().color(QPalette::WindowText);
    int y = 0;

    p.setPen(text);
    p.drawText(QRect(0, y, width(), line), Qt::AlignLeft | Qt::AlignVCenter, caption_);
    y += line + 2;

    const QRectF track(0.5, y + 0.5, width() - 1.0, kBarHeight - 1.0);
    p.setPen(palette::kRaisedEdge);
    p.setBrush(palette::kField);
    p.drawRoundedRect(track, 3, 3);
    if (const int filled = permille(); filled > 0) {
        QRectF bar = track.adjusted(1, 1, -1, -1);
        bar.setWidth(std::max(2.0, bar.width() * filled / 1000.0));
        p.setPen(Qt::NoPen);
        p.setBrush(LevelColour(level_));
        p.drawRoundedRect(bar, 2, 2);
    }
    y += kBarHeight + 2;

    p.setPen(text);
    p.drawText(QRect(0, y, width(), line), Qt::AlignLeft | Qt::AlignVCenter,
               metrics.elidedText(amount_, Qt::ElideRight, width()));
    y += line;
    if (!state_.isEmpty()) {
        p.setPen(LevelColour(level_));
        p.drawText(QRect(0, y, width(), height() - y), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                   state_);
    }
}

}  // namespace vornak
