// Layer formats: sources are added by the issues that build it.
namespace tarnix {}
