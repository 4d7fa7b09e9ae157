#pragma once

#include <memory>
#include <vector>

#include "core/app/application.h"
#include "core/app/form1.h"
#include "tests/support/fake_about_views.h"
#include "tests/support/fake_platform.h"
#include "tests/support/fake_settings_views.h"
#include "tests/support/fake_tray_views.h"
#include "tests/support/fake_window_view.h"

namespace latchsweep::testing {

class FakeForm1View : public FakeWindowView<Form1View> {
public:
    static constexpr WindowHandle kHandle = 0x000A0042;
    static constexpr IconHandle kDesignIcon = 0x2C0105;
    std::vector<IconHandle> frames;
    IconHandle currentIcon = kDesignIcon;
    bool minimized = false;
    bool visible = false;
    double twipsPerPixel = 15.0;

    [[nodiscard]] WindowHandle handle() const override { return kHandle; }
    [[nodiscard]] IconHandle icon() const override { return currentIcon; }
    void setIcon(IconHandle icon) override { currentIcon = icon; }
    [[nodiscard]] std::vector<IconHandle> imageList() const override { return frames; }
    void setMinimized(bool value) override { minimized = value; }
    void setVisible(bool value) override { visible = value; }
    [[nodiscard]] bool isShown() const override { return visible; }
    [[nodiscard]] double twipsPerPixelX() const override { return twipsPerPixel; }
    void show() override
    {
        FakeWindowView::show();
        visible = true;
    }
};

// Makes fake views and keeps a pointer to the newest of each kind; a pointer goes stale when
// its window is discarded, so tests check the instance exists before using it.
class FakeViews : public ViewFactory {
public:
    FakeForm1View* form1View = nullptr;
    FakeForm2View* form2View = nullptr;
    FakeForm3View* form3View = nullptr;
    FakeForm4View* form4View = nullptr;
    FakeHelpView* helpView = nullptr;
    FakeAboutView* aboutView = nullptr;
    int created = 0;
    std::vector<IconHandle> form1Frames{0x100, 0x200}; // ImageList1 of the next main window

    std::unique_ptr<Form1View> form1(Form1&) override
    {
        auto view = make(form1View);
        form1View->frames = form1Frames;
        return view;
    }
    std::unique_ptr<Form2View> form2(Form2&) override { return make(form2View); }
    std::unique_ptr<Form3View> form3(Form3&) override { return make(form3View); }
    std::unique_ptr<Form4View> form4(Form4&) override { return make(form4View); }
    std::unique_ptr<frmHelpView> help(frmHelp&) override { return make(helpView); }
    std::unique_ptr<frmAboutView> about(frmAbout&) override { return make(aboutView); }

private:
    template <class View>
    std::unique_ptr<View> make(View*& newest)
    {
        ++created;
        auto view = std::make_unique<View>();
        newest = view.get();
        return view;
    }
};

// A started program on fakes: the usual fixture of core tests.
struct FakeProgram {
    FakePlatform platform;
    FakeViews views;
    Application app{platform.ports, views};

    FakeProgram() { app.start(); }
    Form1& form1() { return app.form1(); }
    FakeForm1View& form1View() { return *views.form1View; }
};

} // namespace latchsweep::testing
