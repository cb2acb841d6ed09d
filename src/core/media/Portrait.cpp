#include "core/media/Portrait.h"

#include "core/base/GlobalState.h"
#include "core/media/BitmapWrapper.h"
#include "core/media/ExternalImageManager.h"

Portrait::~Portrait() { delete bitmap_; }

void Portrait::SetBitmap(BitmapWrapper* bitmap) {
    if (bitmap == bitmap_) return;
    delete bitmap_;
    bitmap_ = bitmap;
}

bool Portrait::LoadFromArchive(const std::string& name) {
    ExternalImageManager* images = GetGlobalState()->imageManager;
    if (!images) return false;
    BitmapWrapper* bitmap = images->GetBitmapFromActiveFile(name);
    if (!bitmap) return false;
    SetBitmap(bitmap);
    return true;
}
