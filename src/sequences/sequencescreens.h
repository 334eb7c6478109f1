#pragma once

namespace morvello {

class Navigator;

// Makes the expository screen "Fespositivo" and the narrative screen
// "Fsequenze" known to the navigator.
void registerSequenceScreens(Navigator &nav);

} // namespace morvello
