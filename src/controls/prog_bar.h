// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>
#include <QRect>
#include <QWidget>
#include <cstdint>

namespace vantor {

// A flat progress bar; writing Value repaints only the strip between the last drawn position and
// the new one. Colours are 0x00BBGGRR values. Assistive technology sees a progress bar with its
// value and maximum; give it an accessible name saying what progresses.
class ProgBar : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int Value READ Value WRITE SetValue)
    Q_PROPERTY(int Max READ Max WRITE SetMax)
    Q_PROPERTY(std::uint32_t ForeColor READ ForeColor WRITE SetForeColor)
    Q_PROPERTY(std::uint32_t BackColor READ BackColor WRITE SetBackColor)

public:
    explicit ProgBar(QWidget* parent = nullptr);

    int Value() const;
    void SetValue(int value);
    int Max() const;
    void SetMax(int max);
    std::uint32_t ForeColor() const;
    void SetForeColor(std::uint32_t colour);
    std::uint32_t BackColor() const;
    void SetBackColor(std::uint32_t colour);

    QSize sizeHint() const override;

    // Position of value on a bar width units wide, rounded to whole units with halves going to
    // the even neighbour; far-off values are pinned well outside the bar instead of overflowing.
    static int Position(int value, int max, int width);
    // The strip between the positions of two values, in either order; empty when max is 0.
    static QRect Strip(int from, int to, int max, int width, int height);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void NotifyValue();  // tells assistive technology that Value or Max changed
    void DrawFull();
    void Fill(const QRect& rect, std::uint32_t colour);

    int value_ = 0;
    int max_ = 100;
    std::uint32_t fore_ = 0x0000FF;
    std::uint32_t back_ = 0x000000;
    int lastDrawn_ = 0;
    // What has been drawn so far; kept so that a bar with Max 0 still shows its old picture.
    QImage surface_;
};

}  // namespace vantor
