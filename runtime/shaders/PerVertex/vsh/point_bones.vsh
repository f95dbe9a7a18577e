vs_2_0
dcl_position v0
dcl_normal v1
dcl_texcoord0 v2
dcl_blendweight v3
dcl_blendindices v4
mul r9.x, v4.x, c15.z
mova a0.x, r9.x
m4x3 r10.xyz, v0, c[a0.x + 16]
m3x3 r11.xyz, v1, c[a0.x + 16]
mul r0.xyz, r10, v3.x
mul r1.xyz, r11, v3.x
mul r9.x, v4.y, c15.z
mova a0.x, r9.x
m4x3 r10.xyz, v0, c[a0.x + 16]
m3x3 r11.xyz, v1, c[a0.x + 16]
mad r0.xyz, r10, v3.y, r0
mad r1.xyz, r11, v3.y, r1
mul r9.x, v4.z, c15.z
mova a0.x, r9.x
m4x3 r10.xyz, v0, c[a0.x + 16]
m3x3 r11.xyz, v1, c[a0.x + 16]
mad r0.xyz, r10, v3.z, r0
mad r1.xyz, r11, v3.z, r1
mul r9.x, v4.w, c15.z
mova a0.x, r9.x
m4x3 r10.xyz, v0, c[a0.x + 16]
m3x3 r11.xyz, v1, c[a0.x + 16]
mad r0.xyz, r10, v3.w, r0
mad r1.xyz, r11, v3.w, r1
mov r0.w, c15.y
mul r2, r0.x, c0
mad r2, r0.y, c1, r2
mad r2, r0.z, c2, r2
add oPos, r2, c3
mul r3.xyz, r1.x, c4
mad r3.xyz, r1.y, c5, r3
mad r3.xyz, r1.z, c6, r3
dp3 r3.w, r3, r3
rsq r3.w, r3.w
mul r3.xyz, r3, r3.w
mul r5, r0.x, c4
mad r5, r0.y, c5, r5
mad r5, r0.z, c6, r5
add r5, r5, c7
add r6.xyz, c11, -r5
dp3 r6.w, r6, r6
rsq r7.x, r6.w
mul r6.xyz, r6, r7.x
rcp r7.y, r7.x
dp3 r4.x, r3, r6
max r4.x, r4.x, c15.x
mad r7.z, c13.z, r7.y, c13.y
mad r7.z, r7.z, r7.y, c13.x
rcp r7.z, r7.z
slt r7.w, r7.y, c13.w
mul r4.x, r4.x, r7.z
mul r4.x, r4.x, r7.w
mul oD0.xyz, r4.x, c10
mov oD0.w, c15.y
mov oT0, v2
mov oT1, v2
