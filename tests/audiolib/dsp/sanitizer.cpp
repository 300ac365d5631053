// Sanitizer settings for this test program. ALSA's plugins (opened by PortAudio's probing) keep a
// few small allocations for the life of the process, and PulseAudio's client library synchronises
// its threads in ways ThreadSanitizer cannot see; neither is ours, so the checks skip them. Full
// unwinding lets the leak suppression see through the unloaded plugin frames.
extern "C" const char* __lsan_default_suppressions() { return "leak:libasound.so\nleak:libjack.so\n"; }
extern "C" const char* __asan_default_options() { return "fast_unwind_on_malloc=0"; }
extern "C" const char* __tsan_default_suppressions()
{
    return "called_from_lib:libpulse.so\ncalled_from_lib:libpulsecommon\nrace:libpulse\nrace:libpulsecommon\n"
           "race:libasound_module_pcm_pulse\n";
}
// The PulseAudio test starts its server as a child process while other threads run.
extern "C" const char* __tsan_default_options() { return "die_after_fork=0"; }
