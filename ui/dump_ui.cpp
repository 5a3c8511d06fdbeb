#include "ui/dump_ui.h"

#include "ui/windows.h"

#include "ui/ascii_select_form.h"
#include "ui/bmp_form.h"
#include "ui/disclaimers_form.h"
#include "ui/display_controls_form.h"
#include "ui/map_form.h"
#include "ui/map_viewer_form.h"
#include "ui/notes_form.h"
#include "ui/plot_on_map_form.h"
#include "ui/processing_form.h"
#include "ui/segy_select_form.h"
#include "ui/select_shots_form.h"
#include "ui/tarnix_form.h"
#include "ui/time_slice_form.h"
#include "ui/trace_plot_form.h"
#include "ui/w_depth_form.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QJsonDocument>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QScrollArea>
#include <QSizeGrip>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableWidget>

namespace tarnix {

namespace {

QString className(const QObject* o) {
    QString c = o->metaObject()->className();
    const int sep = c.lastIndexOf("::");
    return sep >= 0 ? c.mid(sep + 2) : c;
}

QJsonObject dumpAction(const QAction* a) {
    QJsonObject o;
    if (a->isSeparator()) {
        o["separator"] = true;
        return o;
    }
    o["name"] = a->objectName();
    o["text"] = a->text();
    o["handler"] = a->property("handler").toString();
    o["enabled"] = a->isEnabled();
    o["visible"] = a->isVisible();
    if (!a->shortcut().isEmpty()) o["shortcut"] = a->shortcut().toString();
    if (QMenu* sub = a->menu()) {
        QJsonArray items;
        for (const QAction* s : sub->actions()) items.append(dumpAction(s));
        o["name"] = sub->objectName();
        o["items"] = items;
    }
    return o;
}

QJsonArray actionItems(const QWidget* w) {
    QJsonArray items;
    for (const QAction* a : w->actions()) items.append(dumpAction(a));
    return items;
}

bool isInternal(const QWidget* w) {
    return w->objectName().startsWith("qt_") || qobject_cast<const QSizeGrip*>(w) || w->isWindow();
}

void addChildren(const QWidget* w, QJsonArray& out);

void addChildrenOf(const QObject* parent, QJsonArray& out) {
    for (const QObject* c : parent->children()) {
        auto* cw = qobject_cast<const QWidget*>(c);
        if (!cw) continue;
        if (auto* menu = qobject_cast<const QMenu*>(cw)) {
            // Pop-up menus belong to their window; the menu bar lists its own.
            if (!qobject_cast<const QMenuBar*>(parent)) out.append(dumpWidget(menu));
            continue;
        }
        if (isInternal(cw)) continue;
        out.append(dumpWidget(cw));
    }
}

void addChildren(const QWidget* w, QJsonArray& out) {
    if (auto* tabs = qobject_cast<const QTabWidget*>(w)) {
        for (int i = 0; i < tabs->count(); ++i) {
            QJsonObject page = dumpWidget(tabs->widget(i));
            page["text"] = tabs->tabText(i);
            page["visible"] = tabs->isTabVisible(i);
            page["index"] = i;
            out.append(page);
        }
        return;
    }
    if (auto* scroll = qobject_cast<const QScrollArea*>(w)) {
        if (scroll->widget()) out.append(dumpWidget(scroll->widget()));
        return;
    }
    if (qobject_cast<const QAbstractScrollArea*>(w) || qobject_cast<const QAbstractSpinBox*>(w) ||
        qobject_cast<const QComboBox*>(w) || qobject_cast<const QMenuBar*>(w))
        return; // their children are the toolkit's own parts
    addChildrenOf(w, out);
}

QString widgetText(const QWidget* w) {
    if (w->isWindow()) return w->windowTitle();
    if (auto* b = qobject_cast<const QAbstractButton*>(w)) return b->text();
    if (auto* l = qobject_cast<const QLabel*>(w)) return l->text();
    if (auto* e = qobject_cast<const QLineEdit*>(w)) return e->text();
    if (auto* g = qobject_cast<const QGroupBox*>(w)) return g->title();
    if (auto* m = qobject_cast<const QPlainTextEdit*>(w)) return m->toPlainText();
    if (auto* m = qobject_cast<const QMenu*>(w)) return m->title();
    if (auto* s = qobject_cast<const QSpinBox*>(w)) return s->text();
    return {};
}

} // namespace

QJsonObject dumpWidget(const QWidget* w) {
    QJsonObject o;
    o["class"] = className(w);
    o["name"] = w->objectName();
    const QString text = widgetText(w);
    if (!text.isEmpty()) o["text"] = text;
    if (!w->toolTip().isEmpty()) o["hint"] = w->toolTip();
    o["enabled"] = w->isEnabled();
    o["visible"] = !w->isHidden();

    if (auto* s = qobject_cast<const QSpinBox*>(w)) {
        o["min"] = s->minimum();
        o["max"] = s->maximum();
        o["value"] = s->value();
        o["step"] = s->singleStep();
    } else if (auto* s = qobject_cast<const QAbstractSlider*>(w)) {
        o["min"] = s->minimum();
        o["max"] = s->maximum();
        o["value"] = s->value();
        o["orientation"] = s->orientation() == Qt::Vertical ? "vertical" : "horizontal";
    } else if (auto* p = qobject_cast<const QProgressBar*>(w)) {
        o["value"] = p->value();
    } else if (auto* b = qobject_cast<const QAbstractButton*>(w); b && b->isCheckable()) {
        o["checked"] = b->isChecked();
    }
    if (auto* c = qobject_cast<const QComboBox*>(w)) {
        QJsonArray items;
        for (int i = 0; i < c->count(); ++i) items.append(c->itemText(i));
        o["items"] = items;
        o["itemIndex"] = c->currentIndex();
    } else if (auto* g = qobject_cast<const QGroupBox*>(w)) {
        const auto radios = g->findChildren<QRadioButton*>(QString(), Qt::FindDirectChildrenOnly);
        if (!radios.isEmpty()) {
            QJsonArray items;
            int index = -1;
            for (int i = 0; i < radios.size(); ++i) {
                items.append(radios[i]->text());
                if (radios[i]->isChecked()) index = i;
            }
            o["items"] = items;
            o["itemIndex"] = index;
        }
    } else if (auto* t = qobject_cast<const QTableWidget*>(w)) {
        o["rows"] = t->rowCount();
        o["columns"] = t->columnCount();
        QJsonArray heads;
        for (int i = 0; i < t->columnCount(); ++i) {
            const QTableWidgetItem* h = t->horizontalHeaderItem(i);
            heads.append(h ? h->text() : QString());
        }
        o["headers"] = heads;
    } else if (auto* bar = qobject_cast<const QMenuBar*>(w)) {
        o["items"] = actionItems(bar);
    } else if (auto* m = qobject_cast<const QMenu*>(w)) {
        o["items"] = actionItems(m);
        o.remove("visible");
    }

    QJsonArray children;
    addChildren(w, children);
    if (!children.isEmpty()) o["children"] = children;
    return o;
}

QJsonArray dumpWindows(const Windows& f) {
    const QWidget* windows[] = {f.TarnixForm,      f.SelectShotsForm, f.DisplayControlsForm,
                                f.ProcessingForm,  f.SEGYSelectForm,  f.AsciiSelectForm,
                                f.NotesForm,       f.TimeSliceForm,   f.BMPForm,
                                f.MapForm,         f.PlotOnMapForm,   f.MapViewerForm,
                                f.Trace_Plot_Form, f.W_depth_form,    f.Disclaimers_form};
    QJsonArray out;
    for (const QWidget* w : windows) {
        if (!w) continue;
        QJsonObject o;
        o["class"] = className(w);
        o["name"] = w->objectName();
        o["caption"] = w->windowTitle();
        QJsonObject tree = dumpWidget(w);
        tree["visible"] = w == f.TarnixForm; // the main window alone is shown at start
        o["tree"] = tree;
        out.append(o);
    }
    return out;
}

QByteArray dumpUiJson(const Windows& windows) {
    return QJsonDocument(dumpWindows(windows)).toJson(QJsonDocument::Indented);
}

} // namespace tarnix
