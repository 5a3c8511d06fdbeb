// Layer display: sources are added by the issues that build it.
namespace tarnix {}
