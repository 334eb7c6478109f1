#pragma once

// Factories of the narrative activity screens, one per screen, for the
// shell's activity registry.

namespace morvello {
struct ScreenEnv;
class Screen;
} // namespace morvello
