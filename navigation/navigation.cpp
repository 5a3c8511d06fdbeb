// Layer navigation: sources are added by the issues that build it.
namespace tarnix {}
