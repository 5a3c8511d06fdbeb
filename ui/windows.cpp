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

namespace tarnix {

Windows createWindows(Session& session) {
    Windows w;
    w.TarnixForm = new TTarnixForm(session);
    w.SelectShotsForm = new TSelectShotsForm(session, w.TarnixForm);
    w.DisplayControlsForm = new TDisplayControlsForm(session, w.TarnixForm);
    w.ProcessingForm = new TProcessingForm(session, w.TarnixForm);
    w.SEGYSelectForm = new TSEGYSelectForm(session, w.TarnixForm);
    w.AsciiSelectForm = new TAsciiSelectForm(session, w.TarnixForm);
    w.NotesForm = new TNotesForm(session, w.TarnixForm);
    w.TimeSliceForm = new TTimeSliceForm(session, w.TarnixForm);
    w.BMPForm = new TBMPForm(session, w.TarnixForm);
    w.MapForm = new TMapForm(session, w.TarnixForm);
    w.PlotOnMapForm = new TPlotOnMapForm(session, w.TarnixForm);
    w.MapViewerForm = new TMapViewerForm(session, w.TarnixForm);
    w.Trace_Plot_Form = new TTrace_Plot_Form(session, w.TarnixForm);
    w.W_depth_form = new TW_depth_form(session, w.TarnixForm);
    w.Disclaimers_form = new TDisclaimers_form(session, w.TarnixForm);
    w.TarnixForm->forms = w;
    return w;
}

const Windows& windowsOf(const QWidget* w) {
    static const Windows none;
    for (const QWidget* p = w; p; p = p->parentWidget())
        if (auto* main = qobject_cast<const TTarnixForm*>(p)) return main->forms;
    return none;
}

} // namespace tarnix
