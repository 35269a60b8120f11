// Intentionally empty: placeholder for a layer without sources yet.
