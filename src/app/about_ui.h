// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>

namespace vantor {

class VantorBtn;

inline constexpr const char* kProductName = "Vantor Desktop";
inline constexpr const char* kProductVersion = "BETA 1.0";
inline constexpr const char* kProductUrl = "https://vantor-desktop.example.org/";

// The about box: product, version, credits and a button to the product's web page. Raises
// Finished once, however it is dismissed; the owner then releases it.
class AboutUI : public QDialog {
    Q_OBJECT

public:
    explicit AboutUI(QWidget* parent = nullptr);

signals:
    void Finished();

protected:
    void done(int result) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Finish();
    bool finished_ = false;
};

}  // namespace vantor
