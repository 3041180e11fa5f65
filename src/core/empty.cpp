// Placeholder so that a subsystem library without sources yet still builds.
