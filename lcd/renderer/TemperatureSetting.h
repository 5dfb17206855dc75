#pragma once
// The unit of the temperatures on the LCD screens, the led_cpushowtype setting of the
// registry store: 1 shows degrees Fahrenheit, anything else Celsius. Every frame and every
// temperature text asks, so the value is kept in memory and read again only when the store's
// key changes (a change notification), or a second after the last read where the system
// cannot notify. Any thread.
namespace KOVA {

bool ShowsFahrenheit();

} // namespace KOVA
