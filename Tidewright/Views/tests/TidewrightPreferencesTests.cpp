// The preferences view on the widget tree and in golden images.
