"""Drawing kit of the default skin: theme, canvas, skin elements, windows."""
