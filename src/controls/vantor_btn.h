// SPDX-License-Identifier: MIT
#pragma once

#include <QAbstractButton>
#include <QString>

namespace vantor {

// The push button of every window: one of three pictures of its word (normal, pressed,
// disabled), the hand pointer while it can be clicked, a fixed 100 x 34 size. It draws no text
// itself but is a real push button for the keyboard and assistive technology.
class VantorBtn : public QAbstractButton {
    Q_OBJECT
    Q_PROPERTY(QString BtnText READ BtnText WRITE SetBtnText)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)

public:
    static constexpr int kWidth = 100;
    static constexpr int kHeight = 34;

    explicit VantorBtn(QWidget* parent = nullptr);
    VantorBtn(const QString& word, QWidget* parent);

    QString BtnText() const;
    void SetBtnText(const QString& text);  // stored upper-case; "" is ignored
    bool Enabled() const;
    void SetEnabled(bool enabled);

    // Name of the picture on show ("OK0", "OK1", "OK2"), or "" before any could be loaded.
    QString CurrentPicture() const { return picture_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void Click();  // once per press and release, only while enabled

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void UpdateState();
    void RefreshPicture();
    QString text_;
    QString picture_;
};

}  // namespace vantor
