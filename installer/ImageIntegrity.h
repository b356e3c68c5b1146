// The installer's check of its own file, made before anything else happens.
#pragma once

#include "installer/ImageDigest.h"

// Throws InstallError naming the file as damaged when its bytes are not the
// ones the build recorded: a changed byte, a file cut short, or bytes after
// the image other than a declared certificate table.
void VerifyOwnImage();

// SHA-256 of the spans, in order.
ImageDigestValue Sha256OfSpans(const unsigned char* file, const std::vector<ByteSpan>& spans);
