// The welcome view on the widget tree and in golden images.
