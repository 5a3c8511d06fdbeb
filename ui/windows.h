#pragma once
// The fifteen windows of a session, created at start-up in this order.
#include <memory>

class QWidget;

namespace tarnix {
class Session;
class TTarnixForm;
class TSelectShotsForm;
class TDisplayControlsForm;
class TProcessingForm;
class TSEGYSelectForm;
class TAsciiSelectForm;
class TNotesForm;
class TTimeSliceForm;
class TBINSelectForm;
class TBMPForm;
class TMapForm;
class TPlotOnMapForm;
class TMapViewerForm;
class TTrace_Plot_Form;
class TW_depth_form;
class TDisclaimers_form;

struct Windows {
    TTarnixForm* TarnixForm = nullptr;
    TSelectShotsForm* SelectShotsForm = nullptr;
    TDisplayControlsForm* DisplayControlsForm = nullptr;
    TProcessingForm* ProcessingForm = nullptr;
    TSEGYSelectForm* SEGYSelectForm = nullptr;
    TAsciiSelectForm* AsciiSelectForm = nullptr;
    TNotesForm* NotesForm = nullptr;
    TTimeSliceForm* TimeSliceForm = nullptr;
    TBMPForm* BMPForm = nullptr;
    TMapForm* MapForm = nullptr;
    TPlotOnMapForm* PlotOnMapForm = nullptr;
    TMapViewerForm* MapViewerForm = nullptr;
    TTrace_Plot_Form* Trace_Plot_Form = nullptr;
    TW_depth_form* W_depth_form = nullptr;
    TDisclaimers_form* Disclaimers_form = nullptr;
};

// Creates every window in start-up order; the main window owns the others and
// keeps this table in its `forms` field.
Windows createWindows(Session& session);

// The windows of the session `w` belongs to (w is a window or any control in one).
const Windows& windowsOf(const QWidget* w);

} // namespace tarnix
