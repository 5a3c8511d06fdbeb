#pragma once
#include <QDialog>

#include <array>

class QLabel;
class QLineEdit;
class QMenuBar;
class QPushButton;

namespace tarnix {
class Session;

// "BMPForm": the time and shot calibration of the scanned profile on the
// Bitmaps page. Its texts are the session's; closing the window applies them.
class TBMPForm : public QDialog {
    Q_OBJECT
public:
    explicit TBMPForm(Session& session, QWidget* parent = nullptr);
    void refreshFromSession();

    // In boundary-file order: Top, Bottom, Left, Right, xmin, xmax, ymin, ymax.
    std::array<QLineEdit*, 8> fields{};
    QLabel* statusmap = nullptr;
    QPushButton* OKButton = nullptr;
    QPushButton* CancelButton = nullptr;
    QMenuBar* menu = nullptr;

    // LoadParam with the bitmap of the Bitmaps page.
    void LoadParam(const QString& fileName);

public slots:
    void LoadBNDFile1Click();
    void SaveBoundaries1Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    Session& session_;
};

} // namespace tarnix
