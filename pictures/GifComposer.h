#pragma once
// Turns a GIF's images into the full-screen canvases a viewer shows, one per image.
#include "pictures/Animation.h"
#include "pictures/GifReader.h"

namespace norv {

// The canvas starts transparent, so that whatever lies behind the picture shows
// where no image has drawn yet. Each image is drawn clipped to the logical
// screen; its transparent colour leaves the canvas as it was; colour indices
// beyond its table draw black. After the image is shown, its disposal method
// applies: none/keep leave it, background clears its rectangle to transparent
// (the picture's background is what lies behind it), previous restores the
// canvas as it was before the image. Undefined disposal values count as keep.
Animation ComposeGif(const GifContents& contents);

}  // namespace norv
