#pragma once

namespace quvex {

// Makes every ButtonList report one accessible push button per button: its caption as name,
// its target as description and a press action, so that assistive technology and desktop
// automation find and press each one. Installing twice does nothing.
void installButtonListAccessibility();

} // namespace quvex
