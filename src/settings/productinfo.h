#pragma once
// The product's own texts: where users reach its makers, and its legal
// notice. Kept here, in one place, for the About and Contact boxes and the
// web-site command.

inline constexpr const char* ProductSupportEmail = "support@zebreader.example";
inline constexpr const char* ProductWebSite = "https://zebreader.example/";
inline constexpr const char* ProductPostalAddress[4] = {"ZEB Reader Project", "12 Lantern Lane", "Moonfall Cove",
                                                         "MC1 2AB"};
// The project carries no licence of its own yet, so the notice reserves the rights.
inline constexpr const char* ProductLegalNotice =
    "Copyright (c) 2026 the ZEB Reader developers. All rights reserved. This program comes with no warranty.";
