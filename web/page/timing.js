// The page's timer lengths come from the core (the program's own); a test
// may shorten them by setting window.zeloTiming before the page loads, as
// the program's tests drive its animation without waiting it out.
export function timerMs(name, programMs) {
  const shortened = globalThis.zeloTiming?.[name];
  return Number.isFinite(shortened) && shortened > 0 ? shortened : programMs;
}
