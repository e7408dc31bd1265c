// Shadow pass: only depth is written; the framebuffer has no colour attachment.
#version 430 core

void main() {
}
