#pragma once
// Run hooks that paint the profile: the headless command and the tests use them as
// they are; the main window derives from them to serve events and show the picture.
#include "display/profile_renderer.h"
#include "processing/run_hooks.h"

#include <QFont>

namespace tarnix {

class ProfileRunHooks : public RunHooks {
public:
    ProfileRunHooks(ProfileRenderer& renderer, QFont annotationFont)
        : renderer_(renderer), font_(std::move(annotationFont)) {}

    void createImage() override { renderer_.createImage(); }
    void paintColumn(int x, const TraceBuffer& trace, int n) override {
        renderer_.DRAW_PROFILE(x, trace, n);
    }
    bool paintsWholeColumns() const override { return true; }
    void paintWholeColumn(int x, const WholeWindow& trace, int n) override {
        renderer_.drawWholeColumn(x, trace, n);
    }
    bool paintsDoubleColumns() const override { return true; }
    void paintDoubleColumn(int x, const double* v, int n) override {
        renderer_.drawDoubleColumn(x, v, n);
    }
    void runEnd() override { renderer_.runEnd(font_, textColour_); }

    void setAnnotationFont(const QFont& font, QColor colour = Qt::black) {
        font_ = font;
        textColour_ = colour;
    }
    ProfileRenderer& renderer() { return renderer_; }

protected:
    ProfileRenderer& renderer_;
    QFont font_;
    QColor textColour_ = Qt::black;
};

} // namespace tarnix
