"""Build-time sprite art generator: posed, shaded sprite sheets for the cast in
eight headings, the particle glow and the application icons.

Run as `python3 -m spritegen` with tools/ on PYTHONPATH; see __main__.py.
"""
