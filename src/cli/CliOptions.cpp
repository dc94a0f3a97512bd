// Option parsing of zelk-cli lives here.
