#include "ui/plot_on_map_form.h"

#include "core/session.h"
#include "ui/controls.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace tarnix {

TPlotOnMapForm::TPlotOnMapForm(Session& session, QWidget* parent)
    : QDialog(parent), session_(session) {
    setObjectName("PlotOnMapForm");
    setWindowTitle("Plot Line Parameters");
    setModal(false);
    MapPlotSettings& p = session_.mapPlot;

    Labelspacing = rangedSpin(this, "Labelspacing", p.Labelspacing);
    pointspacing = rangedSpin(this, "pointspacing", p.pointspacing);
    ConnectPoints = new QCheckBox("Connect points", this);
    ConnectPoints->setObjectName("ConnectPoints");
    ConnectPoints->setChecked(p.connectPoints);
    Ok = new QPushButton("Ok", this);
    Ok->setObjectName("Ok");
    Ok->setDefault(true);

    auto* form = new QFormLayout;
    form->addRow("Label Spacing", Labelspacing);
    form->addRow("Point Spacing", pointspacing);
    form->addRow(ConnectPoints);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Ok);
    auto* main = new QVBoxLayout(this);
    main->addLayout(form);
    main->addLayout(buttons);

    connect(Labelspacing, &QSpinBox::valueChanged, this, [&p](int v) { p.Labelspacing.set(v); });
    connect(pointspacing, &QSpinBox::valueChanged, this, [&p](int v) { p.pointspacing.set(v); });
    connect(ConnectPoints, &QCheckBox::toggled, this, [&p](bool on) { p.connectPoints = on; });
    connect(Ok, &QPushButton::clicked, this, &TPlotOnMapForm::OkClick);
}

void TPlotOnMapForm::refreshFromSession() {
    const MapPlotSettings& p = session_.mapPlot;
    showRanged(Labelspacing, p.Labelspacing);
    showRanged(pointspacing, p.pointspacing);
    ConnectPoints->setChecked(p.connectPoints);
}

void TPlotOnMapForm::OkClick() {
    close();
}

} // namespace tarnix
