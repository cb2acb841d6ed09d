#include "core/media/OptionalMedia.h"

#include "core/base/GlobalState.h"
#include "core/media/BitmapWrapper.h"
#include "core/script/DataLibrary.h"

ALLEGRO_FONT* SystemFont() {
    DataLibrary* library = GetGlobalState()->dataLibrary;
    if (!library) return nullptr;
    return library->GetQuietly<ALLEGRO_FONT>("Fonts", "General", "System", "SystemFont", DataKind::Font);
}

BitmapWrapper* OptionalImage(const char* catalogue, const char* heading, const char* name) {
    DataLibrary* library = GetGlobalState()->dataLibrary;
    if (!library) return nullptr;
    return library->GetQuietly<BitmapWrapper>("Images", catalogue, heading, name, DataKind::Bitmap);
}
