; nothing to do
