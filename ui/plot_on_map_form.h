#pragma once
#include <QDialog>

class QCheckBox;
class QPushButton;
class QSpinBox;

namespace tarnix {
class Session;

// "Plot Line Parameters": which shot points of a plotted line get a mark and a
// label, and whether the track joins them. Bound to Session::mapPlot.
class TPlotOnMapForm : public QDialog {
    Q_OBJECT
public:
    explicit TPlotOnMapForm(Session& session, QWidget* parent = nullptr);

    void refreshFromSession();

    QSpinBox* Labelspacing = nullptr;
    QSpinBox* pointspacing = nullptr;
    QCheckBox* ConnectPoints = nullptr;
    QPushButton* Ok = nullptr;

public slots:
    void OkClick();

private:
    Session& session_;
};

} // namespace tarnix
