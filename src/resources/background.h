// SPDX-License-Identifier: MIT
#pragma once

#include <QPixmap>
#include <QWidget>

namespace vantor {

// A picture that keeps its colours when its window is disabled (a QLabel would grey it out
// while a child dialog is open). Stretched fills the whole box; Banner keeps the picture's
// proportions from the left and continues its last column to the right.
class PictureBox : public QWidget {
    Q_OBJECT

public:
    enum class Fit { Stretched, Banner };

    PictureBox(const QString& name, const QPixmap& picture, Fit fit, QWidget* parent);
    const QPixmap& Picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap picture_;
    Fit fit_;
};

// A stretched background named BGImage over the whole client area of window, below every other
// child. The caller resizes it when the window's size can change.
PictureBox* MakeBackground(QWidget* window, const QPixmap& picture);

// Fills a window's client area with the shared background through its palette, for windows whose
// children lay themselves out over it.
void ApplyBackground(QWidget* window);

}  // namespace vantor
