// A labelled bar that shows how much of something is used: a caption, the bar, the amount under it and, when
// the level is a warning or over, a line that says why.
#pragma once

#include <QString>
#include <QWidget>

namespace vornak {

class LevelMeter : public QWidget {
    Q_OBJECT

  public:
    enum class Level { Normal, Warning, Over };

    explicit LevelMeter(QWidget* parent = nullptr);

    void SetCaption(const QString& caption);
    // maximum 0: the size is not known and the bar stays empty.
    void SetValue(qint64 value, qint64 maximum, Level level);
    void SetTexts(const QString& amount, const QString& state);

    const QString& caption() const { return caption_; }
    const QString& amount() const { return amount_; }
    const QString& state() const { return state_; }
    Level level() const { return level_; }
    // 0..1000 of the bar that is filled.
    int permille() const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QString caption_;
    QString amount_;
    QString state_;
    qint64 value_ = 0;
    qint64 maximum_ = 0;
    Level level_ = Level::Normal;
};

}  // namespace vornak
