// The base of every skinned window: a borderless dialog drawn from its background picture, sized by it,
// shaped by its mask picture and dragged by any point of its own surface.
#pragma once

#include <QDialog>
#include <QImage>
#include <QPixmap>
#include <QPoint>
#include <QRegion>
#include <filesystem>
#include <optional>
#include <string>

#include "platform/ini_file.h"
#include "skin/core/skin_layout.h"

namespace vornak {

// The shape of a mask picture: every pixel that is not the key colour. Empty for a null picture.
QRegion MaskToQRegion(const QImage& mask, QColor key = Qt::white, int tolerance = 0);

class CBaseDialog : public QDialog {
    Q_OBJECT

  public:
    CBaseDialog(int templateId, QWidget* parent, std::filesystem::path skinIni,
                std::filesystem::path skinFolder);

    // Runs OnInitDialog once per opening. Showing the dialog does it; a window that lays itself out while
    // still hidden (the main window) calls it first.
    void InitDialog();

    int templateId() const { return templateId_; }
    const std::filesystem::path& skinFolder() const { return skinFolder_; }
    const CIniFile& ini() const { return ini_; }
    // The layout file as read by the last LoadSkin: one parse serves every control of the dialog.
    const SkinLayout& layout() const { return layout_; }
    bool loading() const { return loading_; }
    const QPixmap& background() const { return background_; }
    bool hasPictures() const { return !background_.isNull(); }

    // The skin without the fatal ending: false with the reason (naming the file) when a picture fails.
    bool TryLoadSkin(std::string* error);

    // Moves the window inside the area its screen leaves to windows (the screen under its centre, else the
    // one it belongs to), by the least that makes it fit: it never opens off screen or under a panel.
    void KeepOnScreen();

    void setVisible(bool visible) override;

  protected:
    // Drawn on a translucent background where the window system shapes windows by their alpha; each skinned
    // window calls it in its constructor.
    void ShapeByAlphaWhereNeeded();
    // Loads the skin; derived dialogs call it first and then place their controls.
    virtual void OnInitDialog();
    // Ends the process when the background or the mask cannot be loaded.
    void LoadSkin();
    void ReleasePictures();

    void done(int result) override;
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    int templateId_;
    std::filesystem::path skinFolder_;
    CIniFile ini_;
    SkinLayout layout_;
    QPixmap background_;
    QImage mask_;
    // The 2x mask's shape in its own pixels, and that scale (0 without one): it cuts the picture's outline
    // one device pixel at a time where the window is shaped by its alpha.
    QRegion fineShape_;
    int fineScale_ = 0;
    bool loading_ = false;
    bool initialised_ = false;
    std::optional<QPoint> dragOffset_;  // set while dragged without the window system's help
};

}  // namespace vornak
