#pragma once
// The main window's side of the profile: the renderer, the run hooks GO drives,
// the canvas of the shown picture (`Display`) and where picks go.
#include "display/image_canvas.h"
#include "display/profile_picks.h"
#include "display/profile_renderer.h"
#include "display/profile_run_hooks.h"

#include <QElapsedTimer>
#include <QObject>
#include <QRect>
#include <memory>

namespace tarnix {

class TTarnixForm;

// Run hooks of the window: serve events, drive the progress bar and show the
// annotated picture on the Profile page when the run ends.
class WindowRunHooks : public ProfileRunHooks {
public:
    WindowRunHooks(TTarnixForm& form, ProfileRenderer& renderer);
    void pumpEvents() override;
    void runState(bool running) override;
    void progress(int percent) override;
    void shotsDone(int done, int total) override;
    void shotProcessed(int shot) override;
    void runEnd() override;

private:
    TTarnixForm& form_;
    QElapsedTimer clock_;    // from the run's start, for the rate and the time left
    QElapsedTimer shown_;    // since the progress text last changed
    QElapsedTimer barShown_; // since the progress bar last moved
    static constexpr int kProgressTextMs = 40;
};

// The notebook is "shown" when its window is visible; its picks go to TNotesForm.
class WindowPickTarget : public ProfilePickTarget {
public:
    explicit WindowPickTarget(TTarnixForm& form) : form_(form) {}
    bool notebookShown() const override;
    // The map viewer plots while a bitmap is open in it.
    bool mapPlotting() const override;
    void mapPlot(double x, double y, int shot) override;
    void mapPlotTrack(double x, double y, int shot) override;
    void notebookPick(Session& s, int x, int y) override;
    bool notebookDragPick(Session& s, const BottomPick& pick, int column) override;
    void notebookDragStarted() override;
    void notebookDragEnded() override;
    bool notebookDeleteNearest(Session& s, int x, int y) override;
    int notebookLowerShotLimit() const override;
    bool notebookIsMut() const override;
    void notebookAddLine(const std::string& line) override;
    void notebookBitmapPick(Session& s) override;
    int notebookMapPick(const std::string& lonText, const std::string& latText) override;

private:
    TTarnixForm& form_;
};

class ProfileView : public QObject {
    Q_OBJECT
public:
    explicit ProfileView(TTarnixForm& form);

    ProfileRenderer& renderer() { return renderer_; }
    WindowRunHooks& hooks() { return hooks_; }
    // Canvas of the shown picture (the form's `profileImage`).
    ImageCanvas& canvas() { return canvas_; }
    ProfilePickTarget& picks() { return *picks_; }
    // The notebook and the map install their own pick target here.
    void setPickTarget(std::unique_ptr<ProfilePickTarget> target);
    // Repaints part of `Display` after marks were drawn on the picture.
    void updateDisplay(const QRect& area);

protected:
    // Paints `Display` straight from the picture, so marks show without
    // converting the whole image again.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TTarnixForm& form_;
    ProfileRenderer renderer_;
    WindowRunHooks hooks_;
    ImageCanvas canvas_;
    std::unique_ptr<ProfilePickTarget> picks_;
};

} // namespace tarnix
