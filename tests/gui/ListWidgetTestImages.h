#pragma once
// The images the scroll bar and its arrow buttons look up, filed in a test's
// data library in plain colours, so building bars prints nothing and their
// drawing can be read back; and the small drivers the list-widget tests share.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/base/GlobalState.h"
#include "core/media/BitmapWrapper.h"
#include "core/script/DataLibrary.h"
#include "gui/GUIManager.h"
#include "support/LuaTestState.h"
#include "support/RunScript.h"
#include "support/StderrCapture.h"

// The mouse at (x, y), then one event.
inline void Mouse(GUIManager& gui, int event, float x, float y) {
    gui.SetMousePosition(x, y);
    gui.HandleMouseEvent(event);
}

class ListWidgetTestImages {
public:
    explicit ListWidgetTestImages(DataLibrary& library) {
        library.AddSection("Images");
        library.AddCatalogue("Images", "GUI");
        library.AddHeading("Images", "GUI", "Misc");
        library.AddHeading("Images", "GUI", "Buttons");
        Add(library, "Misc", "ScrollBarBlank", 8, 8, 0, 0, 200);  // blue track
        Add(library, "Misc", "ScrollBarBox", 8, 8, 0, 200, 0);    // green box
        for (const char* name :
             {"ButtonArroSB0", "ButtonArroSB1", "ButtonArroSB2", "ButtonArroSBF0", "ButtonArroSBF1", "ButtonArroSBF2"})
            Add(library, "Buttons", name, 8, 8, 200, 200, 200);
    }

private:
    void Add(DataLibrary& library, const char* heading, const char* name, int w, int h, int r, int g, int b) {
        auto image = std::make_unique<BitmapWrapper>(w, h, &GetGlobalState()->openGLMode);
        image->ClearToRGBA(r, g, b, 255);
        library.Register("Images", "GUI", heading, name, image.get(), DataKind::Bitmap);
        m_images.push_back(std::move(image));
    }

    std::vector<std::unique_ptr<BitmapWrapper>> m_images;
};
