#pragma once
// Whether the user has a high-contrast theme on. The custom-drawn controls
// then draw in the system's colours instead of the design's, so that the
// colours the user chose for legibility hold in every window of ours too.
namespace salvanto::win {

bool HighContrast();

}  // namespace salvanto::win
